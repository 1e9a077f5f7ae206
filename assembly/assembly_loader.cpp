// The assembly file reader, registered as "KIV Assembly" (text form, also compressed behind
// "KVASF V1.2") and "XML KIV Assembly" (tag form).
#include <kivctrl/kiv_db.h>
#include <kivctrl/loader.h>
#include <kivctrl/qel_block_stream.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/qel_stream.h>
#include <kivctrl/ve_env.h>

#include "assembly/asf_reading.h"

#include <strings.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace kiv::asf;

constexpr std::string_view kCompressedHeader = "KVASF V1.2";

ASSY_STATE g_state = ASSY_STATE_NONE;

bool is_space(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The file's bytes as legal() looks at them: kept, so that load() reads them again without
// rewinding a stream that may not seek (a download).
class Source {
public:
    bool open(const char *file)
    {
        if (!reader_)
            reader_.reset(QelCreateReaderInstance(file, QEL_STREAM_BINARY));
        return reader_ && reader_->error() == 0;
    }

    int get()
    {
        if (next_ < seen_.size())
            return static_cast<unsigned char>(seen_[next_++]);
        const int c = reader_->readch();
        if (c < 0)
            return -1;
        seen_.push_back(static_cast<char>(c));
        ++next_;
        return c;
    }
    void unget() { --next_; }
    void rewind() { next_ = 0; }

    // A UTF-8 byte-order mark, as editors on Windows write it, is passed over.
    void skip_bom()
    {
        const int a = get();
        if (a == 0xEF) {
            const int b = get();
            const int c = get();
            if (b == 0xBB && c == 0xBF)
                return;
        }
        rewind();
    }

    // Everything from the current position to the end.
    std::string rest()
    {
        std::string text = seen_.substr(next_);
        next_ = seen_.size();
        char chunk[65536];
        for (;;) {
            const unsigned long n = reader_->readb(chunk, sizeof chunk);
            text.append(chunk, n);
            if (n < sizeof chunk)
                return text;
        }
    }

    // Once the bytes legal() saw are used up, the stream itself.
    QelFileReader *stream() { return next_ >= seen_.size() ? reader_.get() : nullptr; }

private:
    std::unique_ptr<QelFileReader> reader_;
    std::string seen_;
    std::size_t next_ = 0;
};

bool equal_ignoring_case(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The first word of a text-form file, comments and whitespace passed over.
std::string first_word(Source &s)
{
    std::string word;
    int c = s.get();
    for (;;) {
        while (is_space(c))
            c = s.get();
        if (c != ';')
            break;
        while (c >= 0 && c != '\n')
            c = s.get();
    }
    while (c >= 0 && c != '(' && c != ')' && word.size() <= Input::kWordMax) {
        if (!is_space(c))
            word.push_back(static_cast<char>(c));
        c = s.get();
    }
    return word;
}

// The name of a tag-form file's first tag. An XML prolog and comments before it are passed
// over: editors that save tag-form files add them.
std::string first_tag(Source &s)
{
    std::string name;
    for (;;) {
        int c = s.get();
        while (is_space(c))
            c = s.get();
        if (c != '<')
            return {};
        name.clear();
        for (c = s.get(); c >= 0 && c != '>' && name.size() <= Input::kWordMax; c = s.get())
            if (!is_space(c))
                name.push_back(static_cast<char>(c));
        if (c != '>')
            return {};
        if (name.starts_with("?"))
            continue;
        if (name.starts_with("!--")) {
            // Comments may hold '>': read on to "-->".
            std::string tail = name;
            while (!tail.ends_with("--") && c >= 0) {
                for (c = s.get(); c >= 0 && c != '>'; c = s.get())
                    tail.push_back(static_cast<char>(c));
            }
            continue;
        }
        return name;
    }
}

class AssemblyLoader final : public Loader {
public:
    explicit AssemblyLoader(bool tags) : tags_(tags) {}

    int legal(KivAssembly *, _object *parent, const char *file, const char *) override
    {
        if (parent && parent->type != OBJ_GROUP)
            return LOADER_NOT_TAKEN;
        if (!source_.open(file))
            return LOADER_NOT_TAKEN;
        source_.rewind();
        source_.skip_bom();
        const int first = source_.get();
        source_.unget();
        bool taken = false;
        // The compressed form holds the text form.
        if (first == 'K' && !tags_) {
            std::string line;
            for (int c = source_.get(); c >= 0 && c != '\n' && line.size() < kCompressedHeader.size();
                 c = source_.get())
                line.push_back(static_cast<char>(c));
            taken = equal_ignoring_case(line, kCompressedHeader);
        } else {
            taken = equal_ignoring_case(tags_ ? first_tag(source_) : first_word(source_),
                                        "ENVIRONMENT");
        }
        return taken ? LOADER_ASSEMBLY : LOADER_NOT_TAKEN;
    }

    int load(KivAssembly *, _object *parent, const char *file, const char *,
             GSobject **) override
    {
        if (parent && parent->type != OBJ_GROUP)
            return LOADER_NOT_TAKEN;
        if (parent)
            forget_ids(DBGetRoot(parent));
        const std::string dir = reading_directory(file);
        const ASSY_STATE saved = assy_get_state();
        KivAssembly *insert_into = parent ? obj_get_assembly(parent) : nullptr;
        if (insert_into)
            insert_into->StartNewSourceID();
        assy_set_state(parent ? ASSY_STATE_GROUP : ASSY_STATE_NONE);
        // Nothing is drawn in full while the tree is being made.
        env_set_onlydrawenvelopes(1);

        int result = LOADER_NOT_TAKEN;
        std::string text;
        if (!source_.open(file))
            esd_send("Can't open assembly file:  %1", file);
        else if (read_text(file, text))
            result = read_records(std::move(text), dir.c_str(), parent);

        if (insert_into)
            insert_into->EndNewSourceID();
        else if (result == LOADER_ASSEMBLY)
            env_set_file(file);
        assy_set_state(saved);
        env_set_onlydrawenvelopes(0);
        return result;
    }

private:
    // Part names are joined to it, and the geometry loader joins them to the assembly's path
    // again: a local directory must be absolute, or a relative one would be applied twice.
    static std::string reading_directory(const char *file)
    {
        char dir[QEL_PATH_MAX] = "";
        pathname_get_dir(file, dir);
        if (pathname_get_type(file) != FILE_TYPE_LOCAL)
            return dir;
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(dir, ec);
        return ec ? std::string(dir) : absolute.lexically_normal().string();
    }

    // The ids read from an inserted file are the only ones records refer to.
    static void forget_ids(_object *root)
    {
        if (!root)
            return;
        std::vector<_object *> todo{root};
        while (!todo.empty()) {
            _object *o = todo.back();
            todo.pop_back();
            o->id = 0;
            for (int i = 1; i <= o->children.count(); ++i)
                todo.push_back(o->children.get(i));
        }
    }

    // The text form, inflated when the file is compressed. A compressed body that is short,
    // damaged or declares impossible sizes refuses the file: reading what could be recovered
    // would report success for an assembly that is not there.
    bool read_text(const char *file, std::string &text)
    {
        source_.rewind();
        source_.skip_bom();
        const int first = source_.get();
        source_.unget();
        if (first != 'K' || tags_) {
            text = source_.rest();
            return true;
        }
        // The header is the ten characters and exactly one byte after them, whatever it is: a
        // CR LF there cannot be told from a size whose first byte is a line feed.
        for (std::size_t i = 0; i <= kCompressedHeader.size(); ++i)
            source_.get();
        QelFileReader *stream = source_.stream();
        ExplodingReader body(stream);
        if (!stream || body.error() != 0) {
            esd_send("The compressed assembly file %1 is damaged.", file);
            return false;
        }
        char chunk[65536];
        for (;;) {
            const unsigned long n = body.readb(chunk, sizeof chunk);
            text.append(chunk, n);
            if (n < sizeof chunk)
                return true;
        }
    }

    int read_records(std::string text, const char *dir, _object *parent)
    {
        Input in(std::move(text), tags_);
        Reading r(in, dir, parent);
        if (parent)
            r.root = DBGetRoot(parent);
        read_document(r);
        if (parent)
            return LOADER_ASSEMBLY;
        // A main file made no assembly when no ENVIRONMENT record was read.
        return r.root ? LOADER_ASSEMBLY : LOADER_NOT_TAKEN;
    }

    bool tags_;
    Source source_;
};

// An assembly names its parts relative to itself: read from a URL, it is handed the URL (the
// negative hints) so that its parts are fetched from beside it, not looked for beside the
// downloaded copy. The low byte, 241, keeps the file's own activation and view.
class AssemblyFactory final : public LoaderFactoryImp {
public:
    AssemblyFactory(const char *name, bool tags, int priority, const char *suffix)
        : LoaderFactoryImp(suffix), name_(name), tags_(tags), priority_(priority)
    {
    }
    AssemblyFactory(const AssemblyFactory &) = delete;
    AssemblyFactory &operator=(const AssemblyFactory &) = delete;

    using LoaderFactory::name;
    const char *name() override { return name_; }
    int hints() override { return LOADER_HINT_INTERNET_NAME | 241; }
    int priority() override { return priority_; }
    Loader *create() override { return std::make_unique<AssemblyLoader>(tags_).release(); }

private:
    const char *name_;
    bool tags_;
    int priority_;
};

struct Registration {
    Registration()
    {
        text.suffix_add("asf");
        loader_register(&text);
        loader_register(&tags);
    }
    ~Registration()
    {
        loader_unregister(&tags);
        loader_unregister(&text);
    }
    Registration(const Registration &) = delete;
    Registration &operator=(const Registration &) = delete;

    AssemblyFactory text{"KIV Assembly", false, 10100, "kvasf"};
    AssemblyFactory tags{"XML KIV Assembly", true, 10070, "xmlasf"};
};

Registration registration;

} // namespace

ASSY_STATE assy_get_state()
{
    return g_state;
}

void assy_set_state(ASSY_STATE s)
{
    g_state = s;
}
