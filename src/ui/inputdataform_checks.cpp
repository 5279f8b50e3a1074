#include "ui/inputdataform.h"
// Field and grid checks. (To be written.)
bool TInputDataForm::EXExit() { return false; }
bool TInputDataForm::EYExit() { return false; }
bool TInputDataForm::EABExit() { return false; }
bool TInputDataForm::SGExit() { return false; }
bool TInputDataForm::SGEnter() { return false; }
