#include "ui/inputdataform.h"
// Committing a station. (To be written.)
void TInputDataForm::BitBtn2Click() {}
