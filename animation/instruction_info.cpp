// Instruction texts shown while a path plays.
#include <kivctrl/path.h>

#include "animation/path_internal.h"

#include <cstdlib>
#include <cstring>

void kiv::anim::replace_text(char *&slot, const char *s)
{
    char *c = s ? strdup(s) : nullptr;
    std::free(slot);
    slot = c;
}

InstructionInfo::~InstructionInfo()
{
    std::free(text_);
    std::free(note_);
    std::free(link_);
}

const char *InstructionInfo::getText()
{
    return text_;
}

const char *InstructionInfo::getNote()
{
    return note_;
}

const char *InstructionInfo::getLink()
{
    return link_;
}

int InstructionInfo::getInt1()
{
    return int1_;
}

int InstructionInfo::getInt2()
{
    return int2_;
}

void InstructionInfo::setText(const char *s)
{
    kiv::anim::replace_text(text_, s);
}

void InstructionInfo::setNote(const char *s)
{
    kiv::anim::replace_text(note_, s);
}

void InstructionInfo::setLink(const char *s)
{
    kiv::anim::replace_text(link_, s);
}

void InstructionInfo::setInt1(int v)
{
    int1_ = v;
}

void InstructionInfo::setInt2(int v)
{
    int2_ = v;
}
