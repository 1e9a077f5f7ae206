// The display surface's size and its two-way link with its listeners.
#include <kivctrl/gs_display.h>

#include <algorithm>

namespace {

template <typename T>
void erase_one(std::vector<T *> &list, T *item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end())
        list.erase(it);
}

} // namespace

GSdisplayListener::~GSdisplayListener()
{
    // remove_listener edits surfaces_, so work on a copy.
    const std::vector<GSdisplaySurface *> surfaces = surfaces_;
    for (GSdisplaySurface *surface : surfaces)
        surface->remove_listener(this);
}

GSdisplaySurface::GSdisplaySurface(int width, int height, int bits)
{
    set_info(width, height, bits);
}

GSdisplaySurface::~GSdisplaySurface()
{
    const std::vector<GSdisplayListener *> listeners = listeners_;
    listeners_.clear();
    for (GSdisplayListener *listener : listeners) {
        erase_one(listener->surfaces_, this);
        listener->surface_gone(this);
    }
}

int GSdisplaySurface::resize(int width, int height, int bits)
{
    set_info(width, height, bits);
    return 1;
}

void GSdisplaySurface::add_listener(GSdisplayListener *listener)
{
    if (!listener || std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
        return;
    listeners_.push_back(listener);
    listener->surfaces_.push_back(this);
}

void GSdisplaySurface::remove_listener(GSdisplayListener *listener)
{
    if (!listener)
        return;
    erase_one(listeners_, listener);
    erase_one(listener->surfaces_, static_cast<GSdisplaySurface *>(this));
}

void GSdisplaySurface::notify_listeners()
{
    // A listener may leave (or remove another) while notified: walk a snapshot and skip
    // whoever is no longer on the list.
    const std::vector<GSdisplayListener *> snapshot = listeners_;
    for (GSdisplayListener *listener : snapshot)
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
            listener->notify(this);
}
