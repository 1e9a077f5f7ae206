// GSimageSaver: hands every picture a display surface announces to an image writer.
#pragma once

#include <kivctrl/gs_display.h>
#include <kivctrl/gs_image.h>

class GSimageSaver : public GSdisplayListener {
public:
    // Takes the writer (deleted with the saver) and listens to the surface; either may be
    // null, and then nothing is written.
    GSimageSaver(GSimageWriter *writer, GSuniverseDisplaySurface *surface);
    // Stops listening and deletes the writer.
    ~GSimageSaver() override;

    // Writes the surface's current picture once.
    void notify(GSdisplaySurface *surface) override;
    void surface_gone(GSdisplaySurface *surface) override;

    GSimageWriter *writer() const { return writer_.get(); }
    // The surface listened to; null once it is destroyed.
    GSuniverseDisplaySurface *surface() const { return surface_; }
    // Pictures written so far, and whether the last notify failed to write one.
    int frames() const { return frames_; }
    int error() const { return error_; }

private:
    std::unique_ptr<GSimageWriter> writer_;
    GSuniverseDisplaySurface *surface_;
    int frames_ = 0;
    int error_ = 0;
};
