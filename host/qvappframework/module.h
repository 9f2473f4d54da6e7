#ifndef QVAPPFRAMEWORK_MODULE_H
#define QVAPPFRAMEWORK_MODULE_H

#include <QObject>
#include <QString>

namespace qvappframework {

// A service module of the host application, looked up by name.
class Module : public QObject
{
    Q_OBJECT

public:
    explicit Module(const QString &name, QObject *parent = nullptr);
    ~Module() override;

    QString name() const;

private:
    QString m_name;
};

} // namespace qvappframework

#endif // QVAPPFRAMEWORK_MODULE_H
