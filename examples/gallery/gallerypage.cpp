#include "gallerypage.h"

#include <algorithm>

namespace gallery {

static std::vector<Page> &registry()
{
    static std::vector<Page> list;
    return list;
}

bool registerPage(int order, const QString &title, PageFactory create, Shooter extraShots)
{
    registry().push_back(Page{order, title, std::move(create), std::move(extraShots)});
    return true;
}

std::vector<Page> pages()
{
    std::vector<Page> list = registry();
    std::stable_sort(list.begin(), list.end(),
                     [](const Page &a, const Page &b) { return a.order < b.order; });
    return list;
}

} // namespace gallery
