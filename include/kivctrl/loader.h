// Loader and saver registries: every file that enters the scene (assembly, part geometry,
// plug-in library) is opened through one sorted list of loader factories, and a parallel list
// of saver factories serves plug-ins that write files.
//
// A factory is an object with static lifetime that registers itself when its module starts
// and unregisters when it ends. Registrations and removals are announced on the message bus
// (1807/1808 for loaders, 1809/1810 for savers) with the factory's 1-based position as the
// integer argument. Loaders are asked in registry order: priority() descending, then the low
// four bits of hints() ascending, then suffix() and name() case-insensitively; factories
// that compare equal keep their order of registration. Savers sort by priority() descending,
// then suffix() and name().
//
// Geometry read through the registry is kept in a process-wide instance cache: a part file
// read once is not read again, each later caller receives a new instance sharing the cached
// mesh. The cache is emptied when an assembly is deleted (message 1402) unless suspended
// (2100 suspends, 2101 resumes), and forgets the part of an object whose geometry is about to
// be read again (211); after either it sends 15.
//
// The registries and the cache take no lock: use them from one thread at a time.
#pragma once

#include <kivctrl/qel_textlist.h>

class KivAssembly;
class _object;
class GSobject;

// Results of Loader::legal, Loader::load and loader_invoke.
enum LOADER_RESULT : int {
    LOADER_NOT_TAKEN = 0,   // not recognised, or reading failed
    LOADER_ASSEMBLY = 1,    // the file was read into the scene database
    LOADER_GEOMETRY = 2,    // a graphics object was produced and handed back
    LOADER_LIBRARY = 8,     // a plug-in library was opened
};

// Bits of LoaderFactory::hints().
enum : int {
    // Set (the value is negative): the loader wants an Internet name as given, not the local
    // file it was downloaded to.
    LOADER_HINT_INTERNET_NAME = static_cast<int>(0x80000000u),
    // The second sort key of the loader registry.
    LOADER_HINT_ORDER_MASK = 0xf,
    // All set: an assembly read by this loader keeps the activation, visibility and view its
    // file set; otherwise the control shows its root and zooms to its extents.
    LOADER_HINT_KEEP_VIEW = 0x71,
};

class Loader {
public:
    virtual ~Loader() = default;
    // 0 when this loader does not take the file; otherwise the code load() would return.
    virtual int legal(KivAssembly *assembly, _object *parent, const char *file,
                      const char *options) = 0;
    // Reads the file and returns one of LOADER_RESULT; a geometry loader stores the new
    // graphics object (owned by the caller) in *geometry.
    virtual int load(KivAssembly *assembly, _object *parent, const char *file,
                     const char *options, GSobject **geometry) = 0;
    // The key under which a loaded geometry is shared. Default: the simple file name (no
    // directory, no extension), copied to out only when it is shorter than size. Returns out.
    virtual char *basename(const char *file, const char *options, int size, char *out);
};

class LoaderFactory {
public:
    virtual ~LoaderFactory() = default;
    // The names under which the factory is found by loader_get_factory(name), 1-based.
    virtual int name_count() = 0;
    virtual const char *name(int i) = 0;
    // The main name, also the description shown to users.
    virtual const char *name() = 0;
    virtual const char *extname() { return name(); }
    // File suffixes without the dot, 1-based; null outside 1..suffix_count().
    virtual int suffix_count() = 0;
    virtual const char *suffix(int i) = 0;
    virtual const char *suffix() { return suffix(1); }
    virtual int hints() { return 0; }
    // Higher priorities are asked first.
    virtual int priority() { return 0; }
    // The build date, e.g. "Dec 10 2026".
    virtual const char *version();
    // A new loader owned by the caller, or null.
    virtual Loader *create() = 0;
};

// A factory with one name (name() stays to be defined) and a list of suffixes.
class LoaderFactoryImp : public LoaderFactory {
public:
    LoaderFactoryImp() = default;
    explicit LoaderFactoryImp(const char *suffix) { suffix_add(suffix); }

    using LoaderFactory::name;
    int name_count() override { return 1; }
    const char *name(int) override { return name(); }

    using LoaderFactory::suffix;
    int suffix_count() override { return suffixes_.count(); }
    const char *suffix(int i) override { return suffixes_.get(i); }
    void suffix_add(const char *suffix) { suffixes_.add(suffix); }

private:
    QelTextList suffixes_;
};

// A factory found under several names; name() is the first.
class LoaderFactoryMultNamesImp : public LoaderFactoryImp {
public:
    LoaderFactoryMultNamesImp(const char *name, const char *suffix) : LoaderFactoryImp(suffix)
    {
        name_add(name);
    }

    int name_count() override { return names_.count(); }
    const char *name(int i) override { return names_.get(i); }
    const char *name() override { return names_.get(1); }
    void name_add(const char *name) { names_.add(name); }

private:
    QelTextList names_;
};

// Writes an object (or the whole assembly when object is null) to file. Nonzero on success.
class Saver {
public:
    virtual ~Saver() = default;
    virtual int save(KivAssembly *assembly, _object *object, const char *file,
                     const char *options) = 0;
};

class SaverFactory {
public:
    virtual ~SaverFactory() = default;
    virtual const char *name() = 0;
    virtual const char *extname() { return name(); }
    virtual int suffix_count() = 0;
    virtual const char *suffix(int i) = 0;
    virtual const char *suffix() { return suffix(1); }
    virtual int hints() { return 0; }
    virtual int priority() { return 0; }
    virtual const char *version();
    // A new saver owned by the caller, or null.
    virtual Saver *create() = 0;
};

class SaverFactoryImp : public SaverFactory {
public:
    SaverFactoryImp() = default;
    explicit SaverFactoryImp(const char *suffix) { suffix_add(suffix); }

    using SaverFactory::suffix;
    int suffix_count() override { return suffixes_.count(); }
    const char *suffix(int i) override { return suffixes_.get(i); }
    void suffix_add(const char *suffix) { suffixes_.add(suffix); }

private:
    QelTextList suffixes_;
};

// Inserts f after every factory that does not sort after it, first removing a registered
// factory found under f's name(). Returns f's 1-based position; 0 for a null f.
int loader_register(LoaderFactory *f);
// Removes f when registered (message 1808 with its position first). Returns 0.
int loader_unregister(LoaderFactory *f);
int loader_count();
// The i-th factory in registry order, null outside 1..loader_count().
LoaderFactory *loader_get_factory(int i);
// The last registered factory one of whose names equals name case-insensitively; null if
// none. Factories are found by name, never by suffix.
LoaderFactory *loader_get_factory(const char *name);
// 1-based position of f, 0 when it is not registered.
int loader_get_index(LoaderFactory *f);

// Loads file with the first factory, in registry order, whose loader takes it: answered from
// the instance cache when the (file, options) pair or the loader's basename of it was read
// before. A loader that takes the file but fails to read it does not end the search. Returns
// the loader's result (0 when none succeeded); *index (when given) receives the position of
// the factory that succeeded (1 for an answer from the cache, 0 for none); *geometry (when
// given) receives the graphics object, owned by the caller. An Internet name is handed to the
// loader as its downloaded file unless the factory's hints() are negative.
int loader_invoke(KivAssembly *assembly, _object *parent, const char *file, const char *options,
                  void **geometry, int *index);
// The same with the one factory found by name; 0 when there is none.
int loader_invoke(const char *name, KivAssembly *assembly, _object *parent, const char *file,
                  const char *options, void **geometry);
// The first nonzero legal() answer in registry order, with its position in *index (0 and 0
// when none). Nothing is read.
int loader_legal(KivAssembly *assembly, _object *parent, const char *file, const char *options,
                 int *index);
// legal() of the factory found by name; 0 when there is none or it makes no loader.
int loader_legal(const char *name, KivAssembly *assembly, _object *parent, const char *file,
                 const char *options);
// The basename stored for a cached (file, options), else the simple file name. Returns the
// length the answer needs including its terminator; with out null it only measures, otherwise
// out is emptied (size > 0) and the text copied only when it fits in size.
int loader_basename(KivAssembly *assembly, const char *file, const char *options, int size,
                    char *out);
// A new instance (GSobject *, owned by the caller) of the simplified geometry of a cached
// (file, options), built on first request; null when nothing is cached. A relative file name
// is also looked up under the assembly's directory.
void *loader_decimated(KivAssembly *assembly, const char *file, const char *options);

// The same shape for savers (messages 1809/1810); both return 0.
int saver_register(SaverFactory *f);
int saver_unregister(SaverFactory *f);
int saver_count();
SaverFactory *saver_get_factory(int i);
SaverFactory *saver_get_factory(const char *name);
int saver_get_index(SaverFactory *f);

// What an assembly file reader is reading, process-wide: set by the control (none, loaded)
// and by the reader's containers, which restore the earlier value when they close.
enum ASSY_STATE : int {
    ASSY_STATE_NONE = 0,       // nothing loaded: a main file's top level
    ASSY_STATE_LOADED = 1,
    ASSY_STATE_GROUP = 2,      // inside GROUP or REFERENCE, or an inserted file
    ASSY_STATE_OBJECT = 3,     // inside OBJECT or FACE
    ASSY_STATE_VIEWPOINT = 5,
    ASSY_STATE_LIGHT = 6,
};
ASSY_STATE assy_get_state();
void assy_set_state(ASSY_STATE s);

// Reads an assembly file through the loader registry, then prepares the current root's tree
// for display. 0 on success; 1 after reporting "Error from assy_read".
int assy_read(const char *file);
// Reads file through the loader registry into parent's assembly, under parent. 0 on success;
// 1 after reporting "Error from assy_insert".
int assy_insert(const char *file, _object *parent);
