#include "constsetting.h"

int ConstSetting::clientModelId = 0;
