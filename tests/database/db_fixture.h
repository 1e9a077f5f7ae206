// Shared helpers of the database tests: a recorder of bus messages and a fixture that owns
// one assembly.
#pragma once

#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

// Records (code, payload) of the codes it was asked to watch, in arrival order.
class MessageLog : public MsgHandlerImp {
public:
    explicit MessageLog(std::set<short> codes) : codes_(std::move(codes))
    {
        msg_handler_register(this);
    }
    ~MessageLog() override { msg_handler_unregister(this); }

    const char *name() override { return "test message log"; }
    int handle(short code, void *data, std::intptr_t) override
    {
        if (codes_.count(code))
            entries.emplace_back(code, data);
        return 0;
    }

    std::vector<std::pair<short, void *>> entries;

private:
    std::set<short> codes_;
};

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
