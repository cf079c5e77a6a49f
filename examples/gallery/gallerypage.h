// Pages of the gallery. Each page file registers itself:
//
//     static QWidget *makeDatesPage() { ... }
//     TS_GALLERY_PAGE(20, "Dates and schedules", makeDatesPage)
//
// A page that wants more than one screenshot (a wizard on several steps, say) registers a shooter
// as well: it is handed the page and a function that saves the widget it is given under a suffix.
// A page that loads something asynchronously sets the property "galleryLoading" to true until it is
// done; a screenshot waits for that (20 seconds at most).
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

namespace gallery {

using PageFactory = std::function<QWidget *()>;
using Shoot = std::function<void(const QString &suffix, QWidget *widget)>;
using Shooter = std::function<void(QWidget *page, const Shoot &shoot)>;

struct Page {
    int order;
    QString title;
    PageFactory create;
    Shooter extraShots; // may be empty
};

// The language modules that the build makes, with their names in their own language.
struct Language {
    unsigned short id; // LANGID
    const char *name;
};
inline constexpr Language kLanguages[] = {
    {0x0409, "English"},
    {0x0407, "Deutsch"},
    {0x040C, "Fran\u00e7ais"},
    {0x0411, "\u65e5\u672c\u8a9e"},
};

bool registerPage(int order, const QString &title, PageFactory create, Shooter extraShots = {});
std::vector<Page> pages(); // sorted by order

} // namespace gallery

#define TS_GALLERY_CONCAT2(a, b) a##b
#define TS_GALLERY_CONCAT(a, b) TS_GALLERY_CONCAT2(a, b)
#define TS_GALLERY_PAGE(order, title, ...)                                                         \
    static const bool TS_GALLERY_CONCAT(s_galleryPage, __LINE__) =                                 \
        gallery::registerPage(order, QStringLiteral(title), __VA_ARGS__);
