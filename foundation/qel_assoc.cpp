#include <kivctrl/qel_assoc.h>
#include <kivctrl/qel_string.h>

#include <optional>
#include <string>

struct ASSOC::Pair {
    std::optional<std::string> key;  // empty: the null key
    void *value;

    const char *key_text() const { return key ? key->c_str() : nullptr; }
};

int ASSOC::find(const char *key)
{
    for (int i = 1, n = pairs_.count(); i <= n; ++i) {
        if (qel_strcmp(pair(i)->key_text(), key) == 0)
            return i;
    }
    return 0;
}

void *ASSOC::add(const char *key, void *v)
{
    if (const int i = find(key))
        return setvalue(i, v);
    auto *p = new Pair{key ? std::optional<std::string>(key) : std::nullopt, v};
    if (!pairs_.append(p))
        delete p;
    return nullptr;
}

const char *ASSOC::getkey(int i)
{
    Pair *p = pair(i);
    return p ? p->key_text() : nullptr;
}

const char *ASSOC::getkey(const char *key)
{
    return getkey(find(key));
}

void *ASSOC::getvalue(int i)
{
    Pair *p = pair(i);
    return p ? p->value : nullptr;
}

void *ASSOC::getvalue(const char *key)
{
    return getvalue(find(key));
}

void *ASSOC::setvalue(int i, void *v)
{
    Pair *p = pair(i);
    if (!p)
        return nullptr;
    void *old = p->value;
    p->value = v;
    return old;
}

void *ASSOC::setvalue(const char *key, void *v)
{
    return setvalue(find(key), v);
}

void *ASSOC::remove(int i)
{
    Pair *p = pair(i);
    if (!p)
        return nullptr;
    void *v = p->value;
    pairs_.remove(i);
    delete p;
    return v;
}

void *ASSOC::remove(const char *key)
{
    return remove(find(key));
}

int ASSOC::findcontents(void *v, int (*cmp)(void *value, void *v))
{
    for (int i = 1, n = pairs_.count(); i <= n; ++i) {
        void *value = pair(i)->value;
        if (cmp ? cmp(value, v) == 0 : value == v)
            return i;
    }
    return 0;
}

void ASSOC::clear(void (*fn)(void *))
{
    while (Pair *p = pair(1)) {
        if (fn)
            fn(p->value);
        pairs_.remove(1);
        delete p;
    }
}
