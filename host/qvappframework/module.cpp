#include "module.h"

namespace qvappframework {

Module::Module(const QString &name, QObject *parent)
    : QObject(parent)
    , m_name(name)
{ }

Module::~Module() = default;

QString Module::name() const
{
    return m_name;
}

} // namespace qvappframework
