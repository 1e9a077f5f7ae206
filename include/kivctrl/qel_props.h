// Props: an ordered map from keys (compared case-insensitively) to named string properties,
// each with a label, a caller-defined state and a persistence flag. Every scene object and
// every assembly owns one. Props owns its keys and its Property objects.
#pragma once

#include <kivctrl/qel_list.h>

#include <string>

typedef int PropertyState;

class Property {
public:
    explicit Property(const char *value) { setValue(value); }
    Property(const char *value, const char *label)
    {
        setValue(value);
        setLabel(label);
    }
    Property(const char *value, PropertyState state) : state_(state) { setValue(value); }

    // Texts are copied; null clears them.
    const char *getValue() const { return value_.get(); }
    void setValue(const char *v) { value_.set(v); }
    const char *getLabel() const { return label_.get(); }
    void setLabel(const char *l) { label_.set(l); }
    PropertyState getState() const { return state_; }
    void setState(PropertyState s) { state_ = s; }
    // Whether the property is written out with its owner; 1 when constructed.
    PropertyState getPersist() const { return persist_; }
    void setPersist(PropertyState p) { persist_ = p; }

private:
    PropertyState persist_ = 1;
    PropertyState state_ = 0;
    // An owned copy of a text that may be null.
    class Text {
    public:
        const char *get() const { return present_ ? text_.c_str() : nullptr; }
        void set(const char *t)
        {
            present_ = t != nullptr;
            text_ = t ? t : "";
        }

    private:
        std::string text_;
        bool present_ = false;
    };
    Text label_;
    Text value_;
};

class Props {
public:
    Props() = default;
    ~Props() { removeAll(); }
    Props(const Props &) = delete;
    Props &operator=(const Props &) = delete;

    // A present key (ignoring case) keeps its key text and persist flag and takes the new
    // value, label and state; that property is returned. Otherwise a new entry is appended.
    Property *add(const char *key, const char *value);
    Property *add(const char *key, const char *value, const char *label);
    Property *add(const char *key, const char *value, PropertyState state);

    // The property, null when absent.
    Property *get(const char *key);
    // Removes and destroys the entry; 1 when there was one.
    int remove(const char *key);
    void removeAll();
    // Moves key's entry to the front (after null) or directly behind after's entry; nothing
    // changes when either is absent or both name the same entry.
    void move(const char *key, const char *after);

    int count() const { return entries_.count(); }

private:
    struct Entry;
    Entry *entry(const char *key);
    Property *put(const char *key, Property &&p);

    ILIST entries_;
    friend class PropsIter;
};

class PropsIter {
public:
    explicit PropsIter(Props *p) : it_(p ? &p->entries_ : nullptr) {}
    explicit PropsIter(Props &p) : it_(&p.entries_) {}

    // True while standing on an entry.
    bool next() { return it_.next() != 0; }
    void reset() { it_.reset(); }
    // Null before the first entry.
    const char *getKey();
    Property *getProperty();

private:
    ILIST_ITER it_;
};
