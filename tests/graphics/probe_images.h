// Pictures served by a registered image reader from memory: "<name>.probe" reads the bitmap
// stored under name, and each read is counted.
#pragma once

#include <kivctrl/gs_image.h>

#include <map>
#include <memory>
#include <string>

namespace kivtest {

class ProbeImages : public GSimageReaderFactoryImp {
public:
    ProbeImages() : GSimageReaderFactoryImp("probe") { image_reader_register(this); }
    ~ProbeImages() override { image_reader_unregister(this); }
    ProbeImages(const ProbeImages &) = delete;
    ProbeImages &operator=(const ProbeImages &) = delete;

    const char *name() override { return "Probe images"; }

    // Stores b under name; returns the file name that reads it.
    std::string add(const std::string &name, const GSbitmap &b)
    {
        images_.erase(name);
        images_.emplace(name, b);
        return name + ".probe";
    }
    int reads(const std::string &name) const
    {
        auto it = reads_.find(name);
        return it == reads_.end() ? 0 : it->second;
    }

    GSimageReader *create(const GSimageParams &params) override
    {
        const std::string &file = params.file;
        const std::string suffix = ".probe";
        if (file.size() <= suffix.size() || file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0)
            return nullptr;
        const std::string key = file.substr(0, file.size() - suffix.size());
        auto it = images_.find(key);
        if (it == images_.end())
            return nullptr;
        ++reads_[key];
        return std::make_unique<Reader>(params, it->second).release();
    }

private:
    class Reader : public GSimageReader {
    public:
        Reader(const GSimageParams &p, const GSbitmap &b) : GSimageReader(p), b_(b) {}
        int read(GSbitmap **b) override
        {
            *b = std::make_unique<GSbitmap>(b_).release();
            return 1;
        }
        int info(GSbitmapInfo *info) override
        {
            if (info)
                *info = b_.info();
            return 1;
        }

    private:
        const GSbitmap &b_;
    };

    std::map<std::string, GSbitmap> images_;
    std::map<std::string, int> reads_;
};

// A depth-32 picture of w x h pixels, each set by f(x, y) -> {r, g, b, a}; y = 0 is the bottom.
template <class F>
GSbitmap make_rgba(int w, int h, F f)
{
    GSbitmap b(w, h, 32);
    for (int y = 0; y < h; ++y) {
        unsigned char *row = b.row(y);
        for (int x = 0; x < w; ++x) {
            const auto px = f(x, y);
            for (int c = 0; c < 4; ++c)
                row[4 * x + c] = static_cast<unsigned char>(px[c]);
        }
    }
    return b;
}

} // namespace kivtest
