#ifndef STYLEIMAGE_H
#define STYLEIMAGE_H

class QImage;

// The screens' button pictures. Each screen loads its own once, hands the
// host widgets const pointers to them and releases them in its destructor.
namespace StyleImage {

// A heap picture from "/application/resource/update/style0/<name>"; a missing
// file gives a null picture, which the host widgets cope with.
QImage *load(const char *name);
// Deletes the picture and clears the pointer.
void release(QImage *&image);

} // namespace StyleImage

#endif // STYLEIMAGE_H
