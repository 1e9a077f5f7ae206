// Shared helpers of the database tests: the bus recorder under its short name and a fixture
// that owns one assembly.
#pragma once

#include "support/bus_recorder.h"

#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using MessageLog = kivtest::BusRecorder;
using Msg = std::pair<short, void *>;

class DbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        assy = db_new_assembly("assy");
        ASSERT_NE(assy, nullptr);
        root = assy->GetRoot();
    }
    void TearDown() override
    {
        if (assy)
            db_delete_assembly(assy);
    }

    _object *make(_object *parent, OBJECT_TYPE t, const char *name)
    {
        _object *o = db_create_obj(parent, t);
        obj_set_name(o, name);
        return o;
    }

    // Names of o's children in order.
    static std::vector<std::string> child_names(_object *o)
    {
        std::vector<std::string> names;
        OBJLIST_ITER it(o->children);
        while (it.next())
            names.emplace_back(it.getdata()->name ? it.getdata()->name : "");
        return names;
    }

    KivAssembly *assy = nullptr;
    _object *root = nullptr;
};
