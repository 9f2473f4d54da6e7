#include "customupdatewidget.h"

#include "buttoncaption.h"
#include "constsetting.h"
#include "countdown.h"
#include "customimagebutton.h"
#include "customimagelabel.h"
#include "customimageradiobutton.h"
#include "hostkeys.h"
#include "keytable.h"
#include "returnpath.h"
#include "singleshot.h"
#include "styleimage.h"
#include "tipdialog.h"
#include "updatelog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QTimer>

namespace {

// The knob turns the focus the other way round than on the other screens;
// every key not listed is left to the parent.
const KeyTable::Binding keyTable[] = {
    {HostKey::Back, KeyTable::Cancel},
    {HostKey::Previous, KeyTable::FocusPrevious},
    {HostKey::Next, KeyTable::FocusNext},
    {HostKey::Left, KeyTable::FocusPrevious},
    {HostKey::Right, KeyTable::FocusNext},
    {HostKey::KnobForward, KeyTable::FocusPrevious},
    {HostKey::KnobBackward, KeyTable::FocusNext},
    {HostKey::Cancel, KeyTable::Cancel},
    {HostKey::Up, KeyTable::FocusPrevious},
    {HostKey::Down, KeyTable::FocusNext},
    {HostKey::PagePrevious, KeyTable::FocusPrevious},
    {HostKey::PageNext, KeyTable::FocusNext},
    {HostKey::Return, KeyTable::Cancel},
    {HostKey::Exit, KeyTable::Cancel},
};

template<typename T> T *createChild(QWidget *parent, const char *name)
{
    T *child = new T(parent);
    child->setObjectName(QLatin1String(name));
    return child;
}

} // namespace

CustomUpdateWidget::CustomUpdateWidget(const bool &firstFlag, const bool &secondFlag, QWidget *parent)
    : QWidget(parent)
    , m_deviceType(UpdateInterface::UnknownDevice)
    , m_upgradeType(UpdateInterface::PartUpgrade)
    , m_packageValid(false)
    , m_secondFlag(secondFlag)
    , m_firstFlag(firstFlag)
    , m_countdown(nullptr)
    , m_usb0Radio(nullptr)
    , m_usb1Radio(nullptr)
    , m_sd0Radio(nullptr)
    , m_sd1Radio(nullptr)
    , m_updateButton(nullptr)
    , m_cancelButton(nullptr)
    , m_titleLabel(nullptr)
    , m_messageLabel(nullptr)
    , m_infoLabel1(nullptr)
    , m_infoLabel2(nullptr)
    , m_normalImage(StyleImage::load("bt_n.png"))
    , m_pressedImage(StyleImage::load("bt_d.png"))
    , m_disabledImage(StyleImage::load("bt_dis.png"))
    , m_checkedNormalImage(StyleImage::load("bt_c_n.png"))
    , m_checkedPressedImage(StyleImage::load("bt_c_d.png"))
    , m_uncheckedNormalImage(StyleImage::load("bt_uc_n.png"))
    , m_uncheckedPressedImage(StyleImage::load("bt_uc_d.png"))
    , m_checkDeviceTimer(SingleShot::start(this, "m_checkDeviceTimer", 500))
    , m_returnPath(new ReturnPath(this))
{
    connect(m_checkDeviceTimer, &QTimer::timeout, this, &CustomUpdateWidget::onCheckDeviceSlot);
}

CustomUpdateWidget::~CustomUpdateWidget()
{
    StyleImage::release(m_normalImage);
    StyleImage::release(m_pressedImage);
    StyleImage::release(m_disabledImage);
    StyleImage::release(m_checkedNormalImage);
    StyleImage::release(m_checkedPressedImage);
    StyleImage::release(m_uncheckedNormalImage);
    StyleImage::release(m_uncheckedPressedImage);
}

void CustomUpdateWidget::initWidget(const UpdateInterface::DeviceType &device,
                                    const UpdateInterface::UpgradeType &type)
{
    m_deviceType = device;
    m_upgradeType = type;

    m_countdown = new Countdown(this);

    createButtons();
    createLabels(type);
    layOut();
    m_countdown->addChoice(m_updateButton, QT_TR_NOOP("Update"));

    m_infoLabel1->hide();
    m_infoLabel2->hide();
    m_updateButton->setEnabled(false);

    if (ConstSetting::clientModelId == 2)
        m_titleLabel->hide();

    connect(m_updateButton, &CustomButtonBase::clicked, this, &CustomUpdateWidget::onOkClicked);
    connect(m_cancelButton, &CustomButtonBase::clicked, this, &CustomUpdateWidget::onCancelClicked);
    for (CustomImageRadioButton *radio : radios())
        connect(radio, &CustomImageRadioButton::stateChanged, this,
                &CustomUpdateWidget::onRadioButtonClicked);
}

void CustomUpdateWidget::createButtons()
{
    m_usb0Radio = createChild<CustomImageRadioButton>(this, "m_usb0Radio");
    m_usb1Radio = createChild<CustomImageRadioButton>(this, "m_usb1Radio");
    m_sd0Radio = createChild<CustomImageRadioButton>(this, "m_sd0Radio");
    m_sd1Radio = createChild<CustomImageRadioButton>(this, "m_sd1Radio");
    m_updateButton = createChild<CustomImageButton>(this, "m_updateButton");
    m_cancelButton = createChild<CustomImageButton>(this, "m_cancelButton");

    // The medium names are the same in every language.
    ButtonCaption::show(m_usb0Radio, QStringLiteral("USB0"));
    ButtonCaption::show(m_usb1Radio, QStringLiteral("USB1"));
    ButtonCaption::show(m_sd0Radio, QStringLiteral("SD0"));
    ButtonCaption::show(m_sd1Radio, QStringLiteral("SD1"));
    ButtonCaption::show(m_updateButton, tr("Update"));
    ButtonCaption::show(m_cancelButton, tr("Cancel"));

    m_focusRing << m_usb0Radio << m_usb1Radio << m_sd0Radio << m_sd1Radio << m_updateButton << m_cancelButton;

    for (CustomImageRadioButton *radio : radios()) {
        radio->setConstCheckedImage(m_checkedNormalImage, m_checkedPressedImage, nullptr, nullptr, true);
        radio->setConstUncheckImage(m_uncheckedNormalImage, m_uncheckedPressedImage, nullptr, nullptr, true);
    }
    m_updateButton->setConstBackgroundImage(m_normalImage, m_pressedImage, nullptr, m_disabledImage, true);
    m_cancelButton->setConstBackgroundImage(m_normalImage, m_pressedImage, nullptr, m_disabledImage, true);
}

void CustomUpdateWidget::createLabels(const UpdateInterface::UpgradeType &type)
{
    m_titleLabel = new CustomImageLabel(
        type == UpdateInterface::PartUpgrade ? tr("Upgrade part") : tr("Upgrade system"), this);
    m_titleLabel->setObjectName(QStringLiteral("m_titleLabel"));
    m_messageLabel = createChild<CustomImageLabel>(this, "m_messageLabel");
    m_infoLabel1 = createChild<CustomImageLabel>(this, "m_infoLabel1");
    m_infoLabel2 = createChild<CustomImageLabel>(this, "m_infoLabel2");

    m_titleLabel->setAlignment(Qt::AlignCenter);
    m_messageLabel->setAlignment(Qt::AlignCenter);

    m_titleLabel->setStyleSheet(QStringLiteral("QLabel{color:white;font:30px;}"));
    const QString lineStyle = QStringLiteral("QLabel{color:white;font:20px;}");
    m_messageLabel->setStyleSheet(lineStyle);
    m_infoLabel1->setStyleSheet(lineStyle);
    m_infoLabel2->setStyleSheet(lineStyle);
}

void CustomUpdateWidget::layOut()
{
    QHBoxLayout *radioRow = new QHBoxLayout;
    for (CustomImageRadioButton *radio : radios())
        radioRow->addWidget(radio);
    QGridLayout *grid = new QGridLayout(this);
    grid->addWidget(m_titleLabel, 0, 0, 1, 2, Qt::AlignCenter);
    grid->addLayout(radioRow, 1, 0, 1, 2, Qt::AlignCenter);
    grid->addWidget(m_infoLabel1, 2, 0, 1, 2, Qt::AlignCenter);
    grid->addWidget(m_messageLabel, 2, 0, 2, 2, Qt::AlignCenter);
    grid->addWidget(m_infoLabel2, 3, 0, 1, 2, Qt::AlignCenter);
    grid->addWidget(m_updateButton, 4, 0, Qt::AlignCenter);
    grid->addWidget(m_cancelButton, 4, 1, Qt::AlignCenter);
    grid->setRowStretch(0, 2);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(2, 1);
    grid->setRowStretch(3, 1);
    grid->setRowStretch(4, 2);
}

QList<CustomImageRadioButton *> CustomUpdateWidget::radios() const
{
    return {m_usb0Radio, m_usb1Radio, m_sd0Radio, m_sd1Radio};
}

void CustomUpdateWidget::setEnableDeviceList(const QStringList &usbDevices, const QStringList &sdDevices)
{
    m_usb0Radio->setVisible(!usbDevices.isEmpty());
    m_usb1Radio->setVisible(usbDevices.size() >= 2);
    m_sd0Radio->setVisible(!sdDevices.isEmpty());
    m_sd1Radio->setVisible(sdDevices.size() >= 2);
    m_updateButton->setEnabled(usbDevices.size() + sdDevices.size() > 0);
}

void CustomUpdateWidget::setDeviceInfomation(UpdateInterface::DeviceType device, bool valid,
                                             const QString &text1, const QString &text2, const QString &text3)
{
    m_infoLabel1->setText(text1);
    m_infoLabel2->setText(text2);
    m_messageLabel->setText(text3);

    m_packageValid = valid;
    m_updateButton->setEnabled(valid);

    m_usb0Radio->setChecked(device == UpdateInterface::Usb0Device);
    m_usb1Radio->setChecked(device == UpdateInterface::Usb1Device);
    m_sd0Radio->setChecked(device == UpdateInterface::Sd0Device);
    m_sd1Radio->setChecked(device == UpdateInterface::Sd1Device);

    // A system upgrade shows the host's message even for a usable package.
    const bool showDetails = m_upgradeType != UpdateInterface::CompleteUpgrade && valid;
    m_infoLabel1->setVisible(showDetails);
    m_infoLabel2->setVisible(showDetails);
    m_messageLabel->setVisible(!showDetails);

    if (valid)
        m_countdown->start();
}

void CustomUpdateWidget::setUpdateInformation(const QString &text)
{
    TipDialog::showMessage(text, 0);
}

void CustomUpdateWidget::onRadioButtonClicked(bool)
{
    const QList<CustomImageRadioButton *> choices = radios();
    for (int index = 0; index < choices.size(); ++index) {
        if (choices.at(index) != sender())
            continue;
        for (CustomImageRadioButton *other : choices) {
            if (other != choices.at(index))
                other->setChecked(false);
        }
        if (index < 2)
            emit changeToUsbDevice(index);
        else
            emit changeToSdDevice(index - 2);
    }
    setFocus();
}

void CustomUpdateWidget::onOkClicked()
{
    m_countdown->stop();
    if (m_packageValid) {
        TipDialog::showMessage(tr("Updating"), 0);
        emit updateSystem();
    } else {
        TipDialog::showMessage(tr("Package missing"), 0);
    }
}

void CustomUpdateWidget::onCancelClicked()
{
    m_countdown->stop();
    setFocus(Qt::NoFocusReason);
    if (!m_returnPath->follow())
        emit cancelUpdate();
}

void CustomUpdateWidget::onCheckDeviceSlot()
{
    emit checkDevice();
}

void CustomUpdateWidget::moveFocusIndex(int step)
{
    m_focusRing.move(step);
}

void CustomUpdateWidget::keyPressEvent(QKeyEvent *event)
{
    UpdateLog("virtual void CustomUpdateWidget::keyPressEvent(QKeyEvent*)", 457).trace("keyPressEvent")
        << "CustomUpdateWidget"
        << "keyPressEvent" << event;

    switch (KeyTable::find(keyTable, event->key())) {
    case KeyTable::Cancel:
        onCancelClicked();
        break;
    case KeyTable::FocusPrevious:
        moveFocusIndex(-1);
        break;
    case KeyTable::FocusNext:
        moveFocusIndex(+1);
        break;
    default:
        event->ignore();
        return;
    }
    event->accept();
}

void CustomUpdateWidget::keyReleaseEvent(QKeyEvent *event)
{
    event->ignore();
}

void CustomUpdateWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    setFocus();
    event->accept();
}
