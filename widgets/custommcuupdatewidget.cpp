#include "custommcuupdatewidget.h"

#include "basecontrol.h"
#include "buttoncaption.h"
#include "countdown.h"
#include "customimagebutton.h"
#include "customimagelabel.h"
#include "datasavecontrol.h"
#include "factorysettings.h"
#include "hostkeys.h"
#include "keytable.h"
#include "progressringpainter.h"
#include "returnpath.h"
#include "singleshot.h"
#include "styleimage.h"
#include "uimanager.h"
#include "updatelog.h"

#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Ok and Select press the focused button. The cancel keys press Cancel even
// while it is disabled, so the user can always leave a running upgrade.
const KeyTable::Binding keyTable[] = {
    {HostKey::Back, KeyTable::Cancel},           {HostKey::Previous, KeyTable::FocusPrevious},
    {HostKey::Next, KeyTable::FocusNext},        {HostKey::Left, KeyTable::FocusPrevious},
    {HostKey::Right, KeyTable::FocusNext},       {HostKey::Ok, KeyTable::Activate},
    {HostKey::KnobForward, KeyTable::FocusNext}, {HostKey::KnobBackward, KeyTable::FocusPrevious},
    {HostKey::Select, KeyTable::Activate},       {HostKey::Up, KeyTable::FocusPrevious},
    {HostKey::Down, KeyTable::FocusNext},        {HostKey::PagePrevious, KeyTable::FocusPrevious},
    {HostKey::PageNext, KeyTable::FocusNext},    {HostKey::Return, KeyTable::Cancel},
};

// The host's application layer, hierarchy value 0.
QWidget *applicationLayer()
{
    return qvappframework::UIManager::getUIHerarchy(qvappframework::UIHerarchy(0));
}

} // namespace

CustomMcuUpdateWidget::CustomMcuUpdateWidget()
    : QWidget(applicationLayer())
    , m_returnPath(new ReturnPath(this))
    , m_percent(0)
    , m_canQuit(false)
    , m_countdown(new Countdown(this))
    , m_titleLabel(nullptr)
    , m_updateButton(nullptr)
    , m_cancelButton(nullptr)
    , m_normalImage(nullptr)
    , m_pressedImage(nullptr)
    , m_disabledImage(nullptr)
    , m_checkDeviceTimer(nullptr)
{
    m_normalImage = StyleImage::load("bt_n.png");
    m_pressedImage = StyleImage::load("bt_d.png");
    m_disabledImage = StyleImage::load("bt_dis.png");

    m_titleLabel = new CustomImageLabel(tr("Upgrade MCU"), this);
    m_titleLabel->setObjectName(QStringLiteral("m_titleLabel"));
    m_updateButton = new CustomImageButton(this);
    m_updateButton->setObjectName(QStringLiteral("m_updateButton"));
    m_cancelButton = new CustomImageButton(this);
    m_cancelButton->setObjectName(QStringLiteral("m_cancelButton"));

    setGeometry(qvappframework::UIManager::getDeskTopRect());
    setFocusPolicy(Qt::StrongFocus);
    setFocus();

    m_lowerText = DataSaveControl::readTempData(QStringLiteral("MCUVERSION"), QVariant("unknown")).toString();
    m_upperText = tr("unknown");

    ButtonCaption::show(m_updateButton, tr("Update"));
    ButtonCaption::show(m_cancelButton, tr("Cancel"));
    m_updateButton->setConstBackgroundImage(m_normalImage, m_pressedImage, nullptr, m_disabledImage, true);
    m_cancelButton->setConstBackgroundImage(m_normalImage, m_pressedImage, nullptr, m_disabledImage, true);
    m_titleLabel->setStyleSheet(QStringLiteral("QLabel{color:white;font:30px;}"));

    QHBoxLayout *buttonLayout = new QHBoxLayout;
    buttonLayout->addWidget(m_updateButton, 1, Qt::AlignCenter);
    buttonLayout->addWidget(m_cancelButton, 1, Qt::AlignCenter);
    QVBoxLayout *mainLayout = new QVBoxLayout(this);
    mainLayout->addWidget(m_titleLabel, 1, Qt::AlignCenter);
    mainLayout->addStretch(2);
    mainLayout->addLayout(buttonLayout, 1);

    connect(m_updateButton, &CustomButtonBase::clicked, this, &CustomMcuUpdateWidget::onBtClicked);
    connect(m_cancelButton, &CustomButtonBase::clicked, this, &CustomMcuUpdateWidget::onBtClicked);
    m_countdown->addChoice(m_updateButton, QT_TR_NOOP("Update"));

    m_checkDeviceTimer = SingleShot::start(this, "m_checkDeviceTimer", 100);
    connect(m_checkDeviceTimer, &QTimer::timeout, this, &CustomMcuUpdateWidget::onCheckDeviceSlot);
}

CustomMcuUpdateWidget::~CustomMcuUpdateWidget()
{
    StyleImage::release(m_normalImage);
    StyleImage::release(m_pressedImage);
    StyleImage::release(m_disabledImage);
}

void CustomMcuUpdateWidget::setFileInfo(const bool &valid, const QString &msg)
{
    m_updateButton->setEnabled(valid);
    if (!valid) {
        m_canQuit = true;
        setMessage(0, msg);
        return;
    }

    m_countdown->start();

    // A quick upgrade starts at once and leaves Cancel usable; the countdown's
    // first tick sees the same setting and stops for good.
    if (FactorySettings::quickUpgrade()) {
        UpdateLog("void CustomMcuUpdateWidget::setFileInfo(const bool&, const QString&)", 690).stream()
            << "[media_print][setFileInfo]";
        m_updateButton->setEnabled(false);
        emit startUpdate();
    }
}

void CustomMcuUpdateWidget::moveFocus(int step)
{
    // A disabled button refuses the focus, so the focus stays where it was.
    if (step < 0)
        m_updateButton->setFocus();
    else
        m_cancelButton->setFocus();
}

void CustomMcuUpdateWidget::setPercent(int p)
{
    const QRect changed = ProgressRingPainter::ringBounds(size()).united(ProgressRingPainter::textChange(
        size(), font(), ProgressRingPainter::Percent, ProgressRingPainter::percentText(m_percent),
        ProgressRingPainter::percentText(p)));
    m_percent = p;
    repaintReport(changed);
}

// The text comes by value, as the host's slot passes it on.
// cppcheck-suppress passedByValue
void CustomMcuUpdateWidget::setMessage(int type, QString msg) // NOLINT(performance-unnecessary-value-param)
{
    ProgressRingPainter::Text text = ProgressRingPainter::StatusLine;
    QString *field = &m_statusText;
    if (type == 1) {
        text = ProgressRingPainter::LowerCaption;
        field = &m_lowerText;
    } else if (type == 2) {
        text = ProgressRingPainter::UpperCaption;
        field = &m_upperText;
    }
    // The captions keep their text when the host sends none.
    const QString before = *field;
    if (!msg.isEmpty() || text == ProgressRingPainter::StatusLine)
        *field = msg;
    repaintReport(ProgressRingPainter::textChange(size(), font(), text, before, *field));
}

void CustomMcuUpdateWidget::onFinished(int code)
{
    // Success and failure look alike here: the host's texts tell them apart.
    Q_UNUSED(code);
    m_canQuit = true;
    m_updateButton->setEnabled(true);
    m_cancelButton->setEnabled(true);
}

void CustomMcuUpdateWidget::onBtClicked()
{
    m_countdown->stop();
    if (sender() == m_updateButton) {
        startUpgrade();
        return;
    }

    m_canQuit = true;
    if (!m_returnPath->follow())
        emit cancelUpdate();
}

void CustomMcuUpdateWidget::onCheckDeviceSlot()
{
    emit checkDevice();
}

void CustomMcuUpdateWidget::onDelayQuit()
{
    emit cancelUpdate();
}

void CustomMcuUpdateWidget::startUpgrade()
{
    m_canQuit = false;
    m_updateButton->setEnabled(false);
    m_cancelButton->setEnabled(false);
    emit startUpdate();
}

// A report repaints only what it changed. A picture the host changed since
// the last paint shows on the whole screen at once, as with any repaint.
void CustomMcuUpdateWidget::repaintReport(const QRect &changed)
{
    if (m_ring.isPreparedFor(size(), BaseControl::getInstance()->getBackgroundPixmap()))
        update(changed);
    else
        update();
}

void CustomMcuUpdateWidget::activateFocusedButton()
{
    if (m_updateButton->hasFocus())
        emit m_updateButton->clicked();
    else if (m_cancelButton->hasFocus())
        emit m_cancelButton->clicked();
}

void CustomMcuUpdateWidget::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void CustomMcuUpdateWidget::mouseReleaseEvent(QMouseEvent *event)
{
    // A touch on the screen's own area leaves only when the Update button has
    // been taken away. On a finished screen it stays put: the user is reading
    // the host's result, a stray touch must not close it, and the enabled
    // buttons (or any key) offer the way on.
    if (m_canQuit && m_updateButton->isHidden())
        emit cancelUpdate();
    event->accept();
}

void CustomMcuUpdateWidget::keyPressEvent(QKeyEvent *event)
{
    UpdateLog("virtual void CustomMcuUpdateWidget::keyPressEvent(QKeyEvent*)", 805).trace("keyPressEvent")
        << "keyPressEvent"
        << "McuUpdate" << event;

    if (m_canQuit) {
        onDelayQuit();
        return;
    }

    // Any other key is taken too, and does nothing.
    switch (KeyTable::find(keyTable, event->key())) {
    case KeyTable::Cancel:
        emit m_cancelButton->clicked();
        break;
    case KeyTable::FocusPrevious:
        moveFocus(-1);
        break;
    case KeyTable::FocusNext:
        moveFocus(+1);
        break;
    case KeyTable::Activate:
        activateFocusedButton();
        break;
    case KeyTable::Unhandled:
        break;
    }
    event->accept();
}

void CustomMcuUpdateWidget::paintEvent(QPaintEvent *event)
{
    m_ring.prepare(size(), BaseControl::getInstance()->getBackgroundPixmap());
    QPainter painter(this);
    m_ring.paint(&painter, event->region(), font(), m_percent, m_statusText, m_upperText, m_lowerText);
    painter.end();
    event->accept();
}

void CustomMcuUpdateWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The first navigation key decides which button gets the focus.
    setFocus();
}
