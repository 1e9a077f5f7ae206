// A plug-in that registers the "Probe" loaders when opened through the loader registry.
//
// Probe files are text: a first word (HIGH, LOW, BROKEN, EMPTY) followed by a pivot "x y z".
//   "Probe Broken"  prb, priority 400: takes BROKEN and EMPTY files, then fails to read them
//                   (BROKEN answers 0, EMPTY answers 2 without an object).
//   "Probe High"    prb, priority 300: takes HIGH files.
//   "Probe Other"   prx, priority 250: takes every prx file, whatever it holds.
//   "Probe Low"     prb, priority 200: takes every probe file.
//   "Probe Names"   prb, priority 500, negative hints: takes nothing; remembers the name.
// Each factory counts the files its loaders read and remembers the last name it was given;
// tests read both through probe_loads and probe_last_name.
#include <kivctrl/gsobject.h>
#include <kivctrl/loader.h>
#include <kivctrl/qel_pathname.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

struct Seen {
    int loads = 0;
    std::string last_name;
};

std::map<std::string, Seen> &seen()
{
    static std::map<std::string, Seen> s;
    return s;
}

struct Content {
    std::string word;
    float pivot[3] = {0, 0, 0};
};

Content read(const char *file)
{
    Content c;
    std::ifstream in(file ? file : "");
    in >> c.word >> c.pivot[0] >> c.pivot[1] >> c.pivot[2];
    return c;
}

GSobject *triangle(const float pivot[3])
{
    GSobject *obj = GSobject_begin();
    const float corners[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (const auto &p : corners) {
        float q[3] = {p[0], p[1], p[2]};
        GSvertex v = GSvertex_new(q);
        GSobject_addvertex(obj, &v);
    }
    GSpoly *t = GSpoly_begintriangles(obj, 1);
    for (int i : {0, 1, 2})
        GSpoly_addvertex(t, i);
    GSpoly_close(t);
    GSobject_close(obj, 0.0f);
    GSobject_setpivot(obj, pivot, GS_FRAME_LOCAL);
    return obj;
}

class ProbeLoader final : public Loader {
public:
    ProbeLoader(std::string factory, const char *suffix, std::string words, bool fails)
        : factory_(std::move(factory)), suffix_(suffix), words_(std::move(words)), fails_(fails)
    {
    }

    int legal(KivAssembly *, _object *, const char *file, const char *) override
    {
        seen()[factory_].last_name = file ? file : "";
        if (!pathname_check_ext(file, suffix_))
            return 0;
        const Content c = read(file);
        return !words_.empty() && (words_ == "*" || words_.find(" " + c.word + " ") !=
                                                       std::string::npos)
                   ? LOADER_GEOMETRY
                   : LOADER_NOT_TAKEN;
    }

    int load(KivAssembly *, _object *, const char *file, const char *, GSobject **g) override
    {
        const Content c = read(file);
        ++seen()[factory_].loads;
        if (fails_)
            return c.word == "BROKEN" ? LOADER_NOT_TAKEN : LOADER_GEOMETRY;
        *g = triangle(c.pivot);
        return LOADER_GEOMETRY;
    }

private:
    std::string factory_;
    const char *suffix_;
    std::string words_;  // " WORD WORD ", "*" for any, "" for none
    bool fails_;         // reads nothing from the files it takes
};

class ProbeFactory;
ProbeFactory &broken_factory();

class ProbeFactory final : public LoaderFactoryImp {
public:
    ProbeFactory(const char *name, const char *suffix, int priority, int hints, const char *words)
        : LoaderFactoryImp(suffix), name_(name), priority_(priority), hints_(hints),
          words_(words)
    {
    }
    const char *name() override { return name_; }
    int priority() override { return priority_; }
    int hints() override { return hints_; }
    Loader *create() override
    {
        const bool fails = this == &broken_factory();
        return std::make_unique<ProbeLoader>(name_, suffix(), words_, fails).release();
    }

private:
    const char *name_;
    int priority_;
    int hints_;
    const char *words_;
};

ProbeFactory broken("Probe Broken", "prb", 400, 2, " BROKEN EMPTY ");
ProbeFactory high("Probe High", "prb", 300, 2, " HIGH ");
ProbeFactory other("Probe Other", "prx", 250, 2, "*");
ProbeFactory low("Probe Low", "prb", 200, 2, " HIGH LOW BROKEN EMPTY ");
ProbeFactory names("Probe Names", "prb", 500, LOADER_HINT_INTERNET_NAME | 2, "");

ProbeFactory &broken_factory() { return broken; }

ProbeFactory *const all[] = {&broken, &high, &other, &low, &names};

} // namespace

extern "C" void dll_init(void *)
{
    for (ProbeFactory *f : all)
        loader_register(f);
}

extern "C" void dll_term()
{
    for (ProbeFactory *f : all)
        loader_unregister(f);
}

extern "C" int probe_loads(const char *factory) { return seen()[factory].loads; }

extern "C" const char *probe_last_name(const char *factory)
{
    return seen()[factory].last_name.c_str();
}

extern "C" void probe_reset() { seen().clear(); }
