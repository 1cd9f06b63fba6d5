#include "dialogs/MessageDialog.h"

#include "dialogs/MessageFormLayout.h"
#include "dialogs/TMessageForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QScreen>

int ShowMessageDialog(const QString& title, const QString& text, const QString& buttons, int icon,
                      int defaultButton, const QString& checkCaption, bool* checkState) {
    QWidget* owner = QApplication::activeWindow();
    // Owned by the active window so that it stays above it; held through a
    // guard because the owner takes it along should it be destroyed first.
    QPointer<TMessageForm> form = new TMessageForm(owner);
    const QStringList captions = MessageFormLayout::SplitButtonCaptions(buttons);
    form->SetMessage(title, text, captions, icon, defaultButton, checkCaption, checkState);

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect(0, 0, 0, 0);
    form->PlaceOver(owner ? owner->frameGeometry() : workArea, workArea.size());

    int result = form->exec();
    if (result < 1 || result > MessageFormLayout::MaximumButtons) {
        // Only a torn-down window ends without a button, when its owner
        // took it along: the caller still gets one of its answers, the one
        // it offered as the default.
        result = MessageFormLayout::DefaultButton(
            defaultButton, static_cast<int>(MessageFormLayout::ShownCaptions(captions).size()));
    }
    if (!form) {
        return result;
    }
    // A flag the user never saw stays as the caller set it.
    if (checkState != nullptr && !form->CheckBox->isHidden()) {
        *checkState = form->CheckBox->isChecked();
    }
    delete form;
    return result;
}

void ShowErrorMessage(const QString& title, const QString& text) {
    ShowMessageDialog(title, text, QStringLiteral("OK"), ErrorIcon, 1);
}
