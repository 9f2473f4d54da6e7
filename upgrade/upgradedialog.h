#ifndef UPGRADEDIALOG_H
#define UPGRADEDIALOG_H

#include "focusring.h"

#include <QStringList>
#include <QWidget>

class Countdown;
class CustomImageLabel;
class QImage;

// The "Upgrade file detected" dialog: offers the upgrades that the files
// found on a medium allow, besides Cancel, and picks the most important one
// by itself after ten seconds. On devices set up for quick upgrades it leaves
// the choice to the mounted media (QuickUpgradeWalk), which may also carry
// factory customisation data (FactoryImport) and a boot logo (LogoWriter).
class UpgradeDialog : public QWidget
{
    Q_OBJECT

public:
    explicit UpgradeDialog(QWidget *parent);
    ~UpgradeDialog() override;

    // Shows the choices that files support; in quick-upgrade mode walks the
    // mounted media instead (files is then not looked at).
    void setUpgradeFileList(const QStringList &files);

    // Writes the picture at imgPath into the boot-logo partition, scaled to
    // the size its logo record prescribes. Outcomes go to the debug log only.
    void writeLogo(const QString &imgPath);

signals:
    void partUpdateSig();
    void completeUpdateSig();
    void mcuUpdateSig();
    void cancelSig();

private slots:
    void onCloseBtClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createChildren();
    void layOut();

    Countdown *m_countdown;
    QStringList m_fileList;
    CustomImageLabel *m_titleLabel;
    CustomImageLabel *m_partButton;
    CustomImageLabel *m_systemButton;
    CustomImageLabel *m_mcuButton;
    CustomImageLabel *m_cancelButton;
    FocusRing m_focusRing;
    QImage *m_normalImage;
    QImage *m_pressedImage;
};

#endif // UPGRADEDIALOG_H
