// Shared helpers of the assembly file tests: assemblies written into a scratch directory,
// the three file forms of one text, a counting part loader, error reports and tree pictures.
#pragma once

#include <kivctrl/kivctrl.h>

#include "tests/support/bus_recorder.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace asftest {

// A part of one triangle in the text part form.
inline const char *kTrianglePart = "KVG Version 1.2\n0 0 0 1 1 0\n0.5 0.5 0\n3\n0 0 0\n1 0 0\n"
                                   "0 1 0\n1\n0 0 1\n1 1 1\n0 0 0 1 1 0\n1 1\nTRIANGLES\n1 1 1\n"
                                   "3\n0 0\n1 0\n2 0\n";

// Text part files read through the registry ahead of the built-in part loader, counted.
struct CountingPartFactory : LoaderFactoryImp {
    CountingPartFactory() : LoaderFactoryImp("kvg") { loader_register(this); }
    ~CountingPartFactory() override { loader_unregister(this); }
    CountingPartFactory(const CountingPartFactory &) = delete;
    CountingPartFactory &operator=(const CountingPartFactory &) = delete;
    using LoaderFactory::name;
    const char *name() override { return "Counted Part"; }
    int hints() override { return 130; }
    int priority() override { return 20000; }
    Loader *create() override;
    std::vector<std::string> reads;
};

struct CountingPartLoader : Loader {
    explicit CountingPartLoader(CountingPartFactory &f) : f(f) {}
    int legal(KivAssembly *, _object *, const char *file, const char *) override
    {
        return pathname_check_ext(file, "kvg") ? LOADER_GEOMETRY : LOADER_NOT_TAKEN;
    }
    int load(KivAssembly *, _object *, const char *file, const char *, GSobject **g) override
    {
        *g = GSobject_read(file, GS_FILE_TEXT);
        if (!*g)
            return LOADER_NOT_TAKEN;
        f.reads.emplace_back(file);
        return LOADER_GEOMETRY;
    }
    CountingPartFactory &f;
};

inline Loader *CountingPartFactory::create()
{
    return std::make_unique<CountingPartLoader>(*this).release();
}

// The text form turned into the tag form: every "WORD (" opens <WORD> and its ')' closes it;
// parentheses without a word before them, and quoted text, stay as they are.
inline std::string to_tags(const std::string &text)
{
    std::string out;
    bool line_start = true;
    std::string word;
    std::vector<std::string> open;  // "" for a bare parenthesis
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (line_start && c == ';') {
            i = text.find('\n', i);
            if (i == std::string::npos)
                break;
            continue;
        }
        line_start = c == '\n';
        if (c == '"') {
            std::size_t j = i + 1;
            while (j < text.size() && text[j] != '"')
                j += text[j] == '^' ? 2 : 1;
            out += word + text.substr(i, j + 1 - i);
            word.clear();
            i = j;
        } else if (c == '(') {
            if (word.empty()) {
                out += '(';
                open.emplace_back();
            } else {
                out += "<" + word + ">";
                open.push_back(word);
                word.clear();
            }
        } else if (c == ')') {
            out += word;
            word.clear();
            const std::string w = open.empty() ? std::string() : open.back();
            if (!open.empty())
                open.pop_back();
            out += w.empty() ? std::string(")") : "</" + w + ">";
        } else if (c == ' ' || c == '\n' || c == ',') {
            out += word + c;
            word.clear();
        } else {
            word += c;
        }
    }
    return out + word;
}

// The text form stored compressed, built in the file at scratch.
inline std::string to_compressed(const std::string &text, const std::string &scratch)
{
    {
        std::unique_ptr<QelFileWriter> w(QelCreateWriterInstance(scratch.c_str(), QEL_STREAM_BINARY));
        w->writeb("KVASF V1.2\n", 11);
        ImplodingWriter block(w.get(), static_cast<unsigned long>(text.size()));
        block.writeb(text.data(), static_cast<unsigned long>(text.size()));
        block.close();
    }
    return kivtest::read_file(scratch);
}

// The tree below o as text: name[children], types as a letter (G group, P part, L light,
// V viewpoint, F face), e.g. "G:A[P:B,P:C]". The viewpoint the tree build adds to a tree
// without an active one is left out.
inline std::string tree(_object *o)
{
    static const char letters[] = "?RGPLVF";
    std::string s;
    s += letters[o->type];
    s += ':';
    s += o->name ? o->name : "";
    if (o->children.count() > 0) {
        std::string inner;
        for (int i = 1; i <= o->children.count(); ++i) {
            _object *c = o->children.get(i);
            if (c->type == OBJ_VIEWPOINT && c->name && std::string(c->name) == "viewpoint")
                continue;
            inner += (inner.empty() ? "" : ",") + tree(c);
        }
        s += '[' + inner + ']';
    }
    return s;
}

// Deletes every assembly a test made.
class AsfTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        drop_all();
        assy_set_state(ASSY_STATE_NONE);
        env_set_threading(false);
    }

    std::string write(const std::string &name, const std::string &bytes)
    {
        const std::string path = dir.file(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        kivtest::write_file(path, bytes);
        return path;
    }

    // Reads text as a main assembly file; the root made, or null.
    _object *read(const std::string &text, const std::string &name = "a.kvasf")
    {
        if (assy_read(write(name, text).c_str()) != 0)
            return nullptr;
        made.push_back(obj_get_assembly(db_get_root()));
        return db_get_root();
    }

    // Reads text through the registry without preparing the tree for display.
    _object *parse(const std::string &text, const std::string &name = "a.kvasf")
    {
        const std::string path = write(name, text);
        if (loader_invoke(nullptr, nullptr, path.c_str(), nullptr, nullptr, nullptr) != 1)
            return nullptr;
        made.push_back(obj_get_assembly(db_get_root()));
        return db_get_root();
    }

    void drop_all()
    {
        for (KivAssembly *a : made)
            db_delete_assembly(a);
        made.clear();
    }

    std::vector<KivAssembly *> made;

    kivtest::ScratchDir dir{"asf"};
    kivtest::BusRecorder errors{MSG_ERROR};
};

} // namespace asftest
