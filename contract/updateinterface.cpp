#include "updateinterface.h"

UpdateInterface::UpdateInterface(QWidget *parent)
    : QWidget(parent)
    , m_firstFlag(false)
    , m_secondFlag(false)
{ }
