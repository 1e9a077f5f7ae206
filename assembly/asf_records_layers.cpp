// Layer records: the current object's layer, and the names of layers.
#include "assembly/asf_reading.h"

#include <kivctrl/qel_msg.h>
#include <kivctrl/selection.h>

#include <string>

namespace kiv::asf {

namespace {

// Layer records name the layer they want and the layers before it are made on the way: a
// file asking for layer 2,000,000,000 must not make that many.
constexpr int kMaxLayers = 1000;

bool ensure_layers(int n)
{
    if (n < 1)
        return false;
    if (n > kMaxLayers) {
        const std::string asked = std::to_string(n);
        const std::string most = std::to_string(kMaxLayers);
        esd_send("Layer %1 was not made: an assembly has at most %2 layers.", asked.c_str(),
                 most.c_str());
        return false;
    }
    while (layer_count() < n)
        if (layer_add(nullptr) == 0)
            return false;
    return true;
}

} // namespace

void read_layer(Reading &r)
{
    int n = 0;
    if (read_int(r, n) && r.current && ensure_layers(n))
        layer_add_to_layer(r.current, n);
}

// LAYERDEF ( n, name ): the name is read as written, so a name with spaces keeps them.
void read_layerdef(Reading &r)
{
    const std::string number = r.in.string_token(Input::kWordMax);
    std::string name;
    if (r.in.take(','))
        name = r.in.string_token(Input::kWordMax);
    r.in.finish_body();
    int n = 0;
    if (scan_ints(number, &n, 1) == 1 && ensure_layers(n))
        layer_setname(n, name.c_str());
}

} // namespace kiv::asf
