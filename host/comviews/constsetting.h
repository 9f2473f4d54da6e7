#ifndef CONSTSETTING_H
#define CONSTSETTING_H

// Values fixed for the life of the host application.
class ConstSetting
{
public:
    // The client (customer) model the head unit is built for; 0 unless the host sets it.
    static int clientModelId;
};

#endif // CONSTSETTING_H
