// Stand-ins for the File menu's Save and the contact editor; replaced by the
// File menu at merge.
#include "app/TMainForm.h"

#include <QCheckBox>
#include <QLineEdit>

void TMainForm::SaveFileMenuItemClick() {}

void TMainForm::ClearContactEditor() {
    PhoneNumberEdit->clear();
    for (QCheckBox* box : EditorCheckBoxes) {
        box->setChecked(false);
    }
    CurrentContactRow = -1;
}
