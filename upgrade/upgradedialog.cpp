#include "upgradedialog.h"

#include "countdown.h"
#include "customimagelabel.h"
#include "factorysettings.h"
#include "hostkeys.h"
#include "keytable.h"
#include "logowriter.h"
#include "quickupgradewalk.h"
#include "styleimage.h"
#include "upgradefiles.h"

#include <QKeyEvent>
#include <QVBoxLayout>

namespace {

const char buttonStyle[] = "QLabel{background-color:transparent;color:white;font:20px;padding-left:24px;}";
const char titleStyle[] = "QLabel{background-color:transparent;color:white;font:30px;}";

// The dialog moves the focus and leaves every other key to its parent.
const KeyTable::Binding keyTable[] = {
    {HostKey::Left, KeyTable::FocusPrevious},    {HostKey::Right, KeyTable::FocusNext},
    {HostKey::KnobForward, KeyTable::FocusNext}, {HostKey::KnobBackward, KeyTable::FocusPrevious},
    {HostKey::Up, KeyTable::FocusPrevious},      {HostKey::Down, KeyTable::FocusNext},
};

} // namespace

UpgradeDialog::UpgradeDialog(QWidget *parent)
    : QWidget(parent)
    , m_countdown(nullptr)
    , m_titleLabel(nullptr)
    , m_partButton(nullptr)
    , m_systemButton(nullptr)
    , m_mcuButton(nullptr)
    , m_cancelButton(nullptr)
    , m_normalImage(nullptr)
    , m_pressedImage(nullptr)
{
    m_countdown = new Countdown(this);

    m_normalImage = StyleImage::load("tip_bt_n.png");
    m_pressedImage = StyleImage::load("tip_bt_d.png");

    createChildren();
    layOut();

    connect(m_partButton, &CustomImageLabel::clicked, this, &UpgradeDialog::partUpdateSig);
    connect(m_systemButton, &CustomImageLabel::clicked, this, &UpgradeDialog::completeUpdateSig);
    connect(m_mcuButton, &CustomImageLabel::clicked, this, &UpgradeDialog::mcuUpdateSig);
    connect(m_cancelButton, &CustomImageLabel::clicked, this, &UpgradeDialog::cancelSig);

    // The most important offered choice counts down; Cancel never does.
    m_countdown->addChoice(m_systemButton, QT_TR_NOOP("Upgrade system"));
    m_countdown->addChoice(m_partButton, QT_TR_NOOP("Upgrade part"));
    m_countdown->addChoice(m_mcuButton, QT_TR_NOOP("Upgrade MCU"));
    m_countdown->start();
}

UpgradeDialog::~UpgradeDialog()
{
    m_countdown->stop();
    StyleImage::release(m_normalImage);
    StyleImage::release(m_pressedImage);
}

void UpgradeDialog::createChildren()
{
    m_titleLabel = new CustomImageLabel(this);
    m_titleLabel->setObjectName(QStringLiteral("m_titleLabel"));
    m_partButton = new CustomImageLabel(this);
    m_partButton->setObjectName(QStringLiteral("m_partButton"));
    m_systemButton = new CustomImageLabel(this);
    m_systemButton->setObjectName(QStringLiteral("m_systemButton"));
    m_mcuButton = new CustomImageLabel(this);
    m_mcuButton->setObjectName(QStringLiteral("m_mcuButton"));
    m_cancelButton = new CustomImageLabel(this);
    m_cancelButton->setObjectName(QStringLiteral("m_cancelButton"));
    m_focusRing << m_partButton << m_systemButton << m_mcuButton << m_cancelButton;

    m_titleLabel->setWordWrap(true);
    m_titleLabel->setAlignment(Qt::AlignCenter);
    m_titleLabel->setText(tr("Upgrade file detected"));

    m_partButton->setText(tr("Upgrade part"));
    m_systemButton->setText(tr("Upgrade system"));
    m_mcuButton->setText(tr("Upgrade MCU"));
    m_cancelButton->setText(tr("Cancel"));
    for (CustomImageLabel *button : {m_partButton, m_systemButton, m_mcuButton, m_cancelButton}) {
        button->setAlignment(Qt::AlignCenter);
        button->setConstBackgroundImage(m_normalImage, m_pressedImage, nullptr, nullptr, true);
        button->setStyleSheet(QLatin1String(buttonStyle));
    }
    m_titleLabel->setStyleSheet(QLatin1String(titleStyle));
}

void UpgradeDialog::layOut()
{
    QVBoxLayout *layout = new QVBoxLayout(this);
    layout->addWidget(m_titleLabel, 1);
    layout->addWidget(m_partButton, 0, Qt::AlignCenter);
    layout->addWidget(m_systemButton, 0, Qt::AlignCenter);
    layout->addWidget(m_mcuButton, 0, Qt::AlignCenter);
    layout->addSpacing(10);
    layout->addWidget(m_cancelButton, 0, Qt::AlignCenter);
    layout->addStretch(1);
    layout->setSpacing(10);
}

void UpgradeDialog::setUpgradeFileList(const QStringList &files)
{
    if (FactorySettings::quickUpgrade()) {
        if (QuickUpgradeWalk::walk() == QuickUpgradeWalk::McuUpgrade)
            emit mcuUpdateSig();
        else
            emit cancelSig();
        return;
    }
    m_fileList = files;
    m_partButton->setVisible(
        files.contains(QString::fromLatin1(UpgradeFiles::partPackage), Qt::CaseSensitive));
    m_systemButton->setVisible(
        files.contains(QString::fromLatin1(UpgradeFiles::systemImage), Qt::CaseSensitive));
    m_mcuButton->setVisible(files.contains(QString::fromLatin1(UpgradeFiles::mcuImage), Qt::CaseSensitive));
}

// Closing the dialog without a choice is cancelling it: the host learns of
// it only through cancelSig(), and a dialog closed silently would still let
// its countdown pick an upgrade. Nothing connects a close button today; the
// slot stays reachable by signature for hosts that invoke it.
void UpgradeDialog::onCloseBtClicked()
{
    emit cancelSig();
}

void UpgradeDialog::keyPressEvent(QKeyEvent *event)
{
    switch (KeyTable::find(keyTable, event->key())) {
    case KeyTable::FocusPrevious:
        m_focusRing.move(-1);
        break;
    case KeyTable::FocusNext:
        m_focusRing.move(+1);
        break;
    default:
        // Left to the parent: the host's screens handle the other keys.
        event->ignore();
        return;
    }
    event->accept();
}

void UpgradeDialog::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // No button is focused: the first navigation key decides where focus lands.
    setFocus();
}

void UpgradeDialog::writeLogo(const QString &imgPath)
{
    LogoWriter().write(imgPath);
}
