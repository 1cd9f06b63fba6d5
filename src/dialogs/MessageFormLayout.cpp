#include "dialogs/MessageFormLayout.h"

#include <QRegularExpression>

#include <algorithm>

namespace MessageFormLayout {

QStringList SplitButtonCaptions(const QString& buttons) {
    if (buttons.isEmpty()) {
        return {};
    }
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList captions = buttons.split(lineBreak);
    // A break at the very end closes the last caption; it does not open
    // another, empty one.
    if (captions.size() > 1 && captions.last().isEmpty()) {
        captions.removeLast();
    }
    return captions;
}

QStringList ShownCaptions(const QStringList& captions) {
    if (captions.isEmpty() || captions.size() > MaximumButtons) {
        return {QStringLiteral("OK")};
    }
    return captions;
}

int DefaultButton(int requested, int captionCount) {
    const int chosen = std::min(requested, captionCount);
    return chosen == 2 || chosen == 3 ? chosen : 1;
}

FormSize ComputeFormSize(const TextMeasure& text, int buttonCount, bool checkBoxShown,
                         int workAreaHeight) {
    FormSize size;
    const int maximumHeight = std::max(MinimumHeight, workAreaHeight - TitleBarAllowance);
    size.minimumWidth = MinimumWidth + ExtraButtonWidth * (std::clamp(buttonCount, 1, 3) - 1);
    const auto clampHeight = [&](int height) {
        return std::clamp(height, MinimumHeight, maximumHeight);
    };

    const int textHeight = text.lineHeight * text.lineCount;
    if (textHeight > MemoHeight) {
        size.height = clampHeight(size.height + textHeight - MemoHeight);
        size.memoHeight = textHeight;
    }
    const int needed = text.widestLine + 6;
    if (needed < MemoWidth) {
        size.width -= MemoWidth - needed;
    }
    size.width = std::clamp(size.width, size.minimumWidth, MaximumWidth);
    if (!checkBoxShown) {
        size.height = clampHeight(size.height - CheckBoxHeight);
    }
    return size;
}

} // namespace MessageFormLayout
