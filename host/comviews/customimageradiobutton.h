#ifndef CUSTOMIMAGERADIOBUTTON_H
#define CUSTOMIMAGERADIOBUTTON_H

#include "customimagebutton.h"

// A choice among several: drawn from the checked or the unchecked pictures.
// Picking it checks it and emits stateChanged(true); setChecked() changes the
// state quietly, so a screen can mirror the host's report without the report
// looping back to the host as a new choice.
class CustomImageRadioButton : public CustomImageButton
{
    Q_OBJECT
    Q_PROPERTY(bool checked READ isChecked WRITE setChecked)

public:
    explicit CustomImageRadioButton(QWidget *parent = nullptr);
    ~CustomImageRadioButton() override;

    void setChecked(bool checked);
    bool isChecked() const;

    void setConstCheckedImage(const QImage *normal, const QImage *pressed, const QImage *focused,
                              const QImage *disabled, bool stretch);
    void setConstUncheckImage(const QImage *normal, const QImage *pressed, const QImage *focused,
                              const QImage *disabled, bool stretch);
    const StateImages &checkedImages() const;
    const StateImages &uncheckedImages() const;

signals:
    void stateChanged(bool checked);

protected:
    void pick() override;
    const StateImages &currentImages() const override;
    void paintDecoration(QPainter &painter, bool pictureDrawn) override;

private:
    StateImages m_checkedImages;
    StateImages m_uncheckedImages;
    bool m_checked = false;
};

#endif // CUSTOMIMAGERADIOBUTTON_H
