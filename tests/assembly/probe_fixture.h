// A fixture that opens the "Probe" loader plug-in through the loader registry and empties the
// instance cache around each test.
#pragma once

#include <kivctrl/kivctrl.h>

#include "assembly/instance_cache.h"
#include "support/scratch.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

class ProbeTest : public ::testing::Test {
protected:
    static std::string plugin() { return std::string(KIV_TEST_PLUGIN_DIR) + "/qel_test_probe.so"; }

    void SetUp() override
    {
        instance_cache().clear();
        int index = 0;
        ASSERT_EQ(loader_invoke(nullptr, nullptr, plugin().c_str(), nullptr, nullptr, &index),
                  LOADER_LIBRARY);
        ASSERT_EQ(loader_get_factory(index), loader_get_factory("Addin"));
        library_ = dlopen(plugin().c_str(), RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(library_, nullptr);
        reinterpret_cast<void (*)()>(dlsym(library_, "probe_reset"))();
    }

    void TearDown() override
    {
        if (library_)
            dlclose(library_);
        dl_term();
        instance_cache().clear();
    }

    int loads(const char *factory) const
    {
        return reinterpret_cast<int (*)(const char *)>(dlsym(library_, "probe_loads"))(factory);
    }

    std::string last_name(const char *factory) const
    {
        return reinterpret_cast<const char *(*)(const char *)>(
            dlsym(library_, "probe_last_name"))(factory);
    }

    // Writes a probe file and returns its path.
    std::string probe(const std::string &name, const std::string &content) const
    {
        kivtest::write_file(dir.file(name), content);
        return dir.file(name);
    }

    kivtest::ScratchDir dir{"loaders"};

private:
    void *library_ = nullptr;
};

// The name of the factory at the index loader_invoke reported; "" for none.
inline std::string factory_name(int index)
{
    LoaderFactory *f = loader_get_factory(index);
    return f ? f->name() : "";
}
