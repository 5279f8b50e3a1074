#include "ui/inputdataform.h"
// Saving. (To be written.)
bool TInputDataForm::SaveBtnClick() { return false; }
bool TInputDataForm::SaveVesFile() { return false; }
bool TInputDataForm::SaveSoundingDat() { return false; }
bool TInputDataForm::WriteCombinedProfile() { return false; }
bool TInputDataForm::WriteFourPoleProfile() { return false; }
