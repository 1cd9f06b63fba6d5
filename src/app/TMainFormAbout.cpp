#include "app/TMainForm.h"

#include "dialogs/TAboutBox.h"

#include <QAction>

void TMainForm::AboutMenuItemClick() {
    TAboutBox about(this);
    about.PlaceOver(frameGeometry());
    about.exec();
}

void TMainForm::WireAbout() {
    connect(AboutMenuItem, &QAction::triggered, this, &TMainForm::AboutMenuItemClick);
}
