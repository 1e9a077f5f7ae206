// Feeds the pictures of a display surface to an image writer.
#include <kivctrl/gs_image_saver.h>

#include <kivctrl/qel_msg.h>

GSimageSaver::GSimageSaver(GSimageWriter *writer, GSuniverseDisplaySurface *surface)
    : writer_(writer), surface_(surface)
{
    if (surface_)
        surface_->add_listener(this);
}

GSimageSaver::~GSimageSaver()
{
    if (surface_)
        surface_->remove_listener(this);
}

void GSimageSaver::notify(GSdisplaySurface *surface)
{
    const GSbitmap *picture = surface ? surface->bitmap() : nullptr;
    if (!writer_ || !picture) {
        // The writer reports its own failures; a missing picture is ours to report.
        if (writer_)
            esd_send("No picture to write to %1", writer_->ip().file.c_str());
        error_ = 1;
        return;
    }
    error_ = writer_->write(picture) ? 0 : 1;
    if (!error_)
        ++frames_;
}

void GSimageSaver::surface_gone(GSdisplaySurface *surface)
{
    if (surface == surface_)
        surface_ = nullptr;
}
