// The tick: behaviours, input and synchronisation in a fixed order.
#include <kivctrl/kiv_db.h>
#include <kivctrl/task.h>
#include <kivctrl/ve_bind.h>
#include <kivctrl/ve_sensor.h>

#include "environment/sensor_state.h"

#include <chrono>
#include <thread>

void actions()
{
    using kiv::env::sensors;
    task_run_global_pass();
    // By position: a callback may announce messages whose handlers add sensors.
    for (std::size_t i = 0; i < sensors().sensors.size(); ++i) {
        _sensor *s = sensors().sensors[i].get();
        if (s->callback)
            s->callback(s);
    }
    for (std::size_t i = 0; i < sensors().sensors.size(); ++i)
        kiv::env::apply_sensor_motion(sensors().sensors[i].get());
    task_run_object_pass();
    dv_obj_sync();
    // Without a scene the host's timer would spin.
    if (!db_root_exists())
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}
