#include "platform/Platform.h"

#include <QDir>

namespace platform {

namespace {

// The shared boxes keep the captions the program has always shown (as its
// buttons keep "&Yes" and "&No"); users and their scripts know them.
const QString captionConfirm = QStringLiteral("Confirm");
const QString captionInformation = QStringLiteral("Information");
const QString captionWarning = QStringLiteral("Warning");
const QString captionError = QStringLiteral("Error");

Services& current()
{
    static Services installed;
    return installed;
}

} // namespace

int PrintCanvas::fittingLength(const QString& text, int room, int* fittedWidth) const
{
    const int whole = textWidth(text);
    if (whole <= room) {
        *fittedWidth = whole;
        return static_cast<int>(text.size());
    }
    // The longest prefix that fits: widths grow with the prefix.
    int low = 0;
    int high = static_cast<int>(text.size()) - 1;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (textWidth(text.left(middle)) <= room)
            low = middle;
        else
            high = middle - 1;
    }
    if (low > 0 && text.at(low - 1).isHighSurrogate())
        --low;
    *fittedWidth = low > 0 ? textWidth(text.left(low)) : 0;
    return low;
}

Services& services()
{
    return current();
}

void setServices(const Services& replacement)
{
    current() = replacement;
}

bool Dialogs::confirm(const QString& text)
{
    return show({captionConfirm, text, Icon::Question, {Button::Yes, Button::No}}) == Button::Yes;
}

Button Dialogs::confirmYesNoCancel(const QString& text)
{
    return show({captionConfirm, text, Icon::Question, {Button::Yes, Button::No, Button::Cancel}});
}

void Dialogs::information(const QString& text)
{
    show({captionInformation, text, Icon::Information, {Button::Ok}});
}

void Dialogs::warning(const QString& text)
{
    show({captionWarning, text, Icon::Warning, {Button::Ok}});
}

void Dialogs::error(const QString& text)
{
    show({captionError, text, Icon::Error, {Button::Ok}});
}

void Dialogs::errorBox(const QString& text)
{
    show({applicationTitle(), text, Icon::Error, {Button::Ok}});
}

void Dialogs::message(const QString& text)
{
    show({applicationTitle(), text, Icon::None, {Button::Ok}});
}

bool Dialogs::okCancel(const QString& text)
{
    return show({captionConfirm, text, Icon::Question, {Button::Ok, Button::Cancel}}) == Button::Ok;
}

QString Paths::dataDir() const
{
    return QDir(workDir()).filePath(QStringLiteral("Data"));
}

} // namespace platform
