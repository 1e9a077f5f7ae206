// One tick of a pointer drag of a large selection, in the object's own axes (each object
// snapped apart) and in the viewpoint's axes.
#include <kivctrl/kiv_db.h>
#include <kivctrl/obj_attr.h>
#include <kivctrl/placement.h>
#include <kivctrl/selection.h>
#include <kivctrl/ve_bind.h>
#include <kivctrl/ve_env.h>
#include <kivctrl/ve_sensor.h>

#include <benchmark/benchmark.h>

namespace {

struct DragScene {
    explicit DragScene(int n, SENSOR_MODE mode) : a(db_new_assembly("bench"))
    {
        _object *root = a->GetRoot();
        env_set_winsize(400, 300);
        setup_sensors();
        VE_build_tree(root);
        _object *group = db_create_obj(root, OBJ_GROUP);
        obj_set_active(group, 1);
        for (int i = 0; i < n; ++i) {
            _object *p = db_create_obj(group, OBJ_OBJECT);
            obj_set_active(p, 1);
            obj_set_pos(p, QEL_VECT3(0.01f * i, 0.0f, 0.0f), FRAME_WORLD);
            obj_set_eangles(p, QEL_VECT3(0.0f, 0.0f, 0.1f * i), FRAME_WORLD);
            object_picked(p);
        }
        obj_set_pos(root->viewpoint, QEL_VECT3(0.0f, 0.0f, 50.0f), FRAME_WORLD);
        VE_set_sensor(mode);
        pointer = dv_first_sensor();
        pointer->input.x = pointer->input.y = 100;
        pointer->input.buttons = SENSOR_LEFT_HELD | SENSOR_LEFT_DOWN;
        actions();
    }
    ~DragScene()
    {
        object_deselectall();
        while (_sensor *s = dv_first_sensor())
            dv_delete_sensor(s);
        db_delete_assembly(a);
    }

    KivAssembly *a;
    _sensor *pointer = nullptr;
};

void drag_ticks(benchmark::State &state, SENSOR_MODE mode)
{
    DragScene scene(static_cast<int>(state.range(0)), mode);
    int step = 1;
    for (auto _ : state) {
        step = -step;
        scene.pointer->input.x += step;
        actions();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_DragTickLocal(benchmark::State &state) { drag_ticks(state, SENSE_OBJ_LOCAL); }
void BM_DragTickView(benchmark::State &state) { drag_ticks(state, SENSE_OBJ_VIEW); }

BENCHMARK(BM_DragTickLocal)->Arg(250)->Arg(1000)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragTickView)->Arg(250)->Arg(1000)->Arg(4000)->Unit(benchmark::kMicrosecond);

}  // namespace
