#include "ui/inputdataform.h"
// Browsing and editing. (To be written.)
void TInputDataForm::PreviousClick() {}
void TInputDataForm::NextClick() {}
void TInputDataForm::ShowStation(int) {}
QString TInputDataForm::RowLabel(int n) { return QString::number(n); }
void TInputDataForm::InsertClick() {}
void TInputDataForm::DeleteClick() {}
void TInputDataForm::BitBtn1Click() {}
void TInputDataForm::newProfileClick() {}
void TInputDataForm::UpdateDataClick() {}
bool TInputDataForm::FormCloseQuery() { return true; }
