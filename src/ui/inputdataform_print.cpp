#include "ui/inputdataform.h"
// Printing. (To be written.)
void TInputDataForm::N5Click() {}
