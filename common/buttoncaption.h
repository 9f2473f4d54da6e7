#ifndef BUTTONCAPTION_H
#define BUTTONCAPTION_H

class CustomImageButton;
class QString;

namespace ButtonCaption {

// Shows caption on a screen's button the way all of them show theirs:
// centred, white, at half opacity while the button is disabled, not bold.
void show(CustomImageButton *button, const QString &caption);

} // namespace ButtonCaption

#endif // BUTTONCAPTION_H
