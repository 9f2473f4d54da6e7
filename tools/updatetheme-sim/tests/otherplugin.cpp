// A well-formed Qt plugin of an interface that is not the update view's.
#include <QObject>

class OtherPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.example.OtherInterface/1.0")
};

#include "otherplugin.moc"
