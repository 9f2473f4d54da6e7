#ifndef CUSTOMIMAGEBUTTON_H
#define CUSTOMIMAGEBUTTON_H

#include "custombuttonbase.h"
#include "stateimages.h"

#include <QColor>

class QImage;

// A button drawn from pictures: the normal one, the pressed one while it is
// held, the disabled one while it is disabled, each scaled to the button.
// A focused button shows the focus picture, or a frame when it has none.
class CustomImageButton : public CustomButtonBase
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text)

public:
    explicit CustomImageButton(QWidget *parent = nullptr);
    ~CustomImageButton() override;

    // disabledOpacity is the caption's opacity while the button is disabled;
    // bold draws the caption in bold.
    void setText(const QString &text, int alignment, const QColor &color, float disabledOpacity, bool bold);
    QString text() const;
    int textAlignment() const;
    QColor textColor() const;

    // The pictures stay the caller's. With stretch the pictures fill the
    // button, otherwise they are centred at their own size.
    void setConstBackgroundImage(const QImage *normal, const QImage *pressed, const QImage *focused,
                                 const QImage *disabled, bool stretch);
    const StateImages &backgroundImages() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

    // The pictures drawn for the button's present state.
    virtual const StateImages &currentImages() const;
    // Draws what sits between the background and the caption.
    virtual void paintDecoration(QPainter &painter, bool pictureDrawn);

    StateImages::State visualState() const;

private:
    StateImages m_background;
    QString m_text;
    int m_alignment = Qt::AlignCenter;
    QColor m_color = Qt::white;
    float m_disabledOpacity = 0.5f;
    bool m_bold = false;
};

#endif // CUSTOMIMAGEBUTTON_H
