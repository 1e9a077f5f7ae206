#include <kivctrl/qel_textlist.h>

void QelTextList::add(const char *text)
{
    if (text)
        items_.emplace_back(std::in_place, text);
    else
        items_.emplace_back();
}

const char *QelTextList::get(int i) const
{
    if (i < 1 || i > count())
        return nullptr;
    const auto &item = items_[static_cast<std::size_t>(i - 1)];
    return item ? item->c_str() : nullptr;
}
