// A locate handler for tests: answers requests of one code with a fixed path (empty: gives
// up), recording what was sought and in which context ("(null)" for none).
#pragma once

#include <kivctrl/qel_locate.h>
#include <kivctrl/qel_msg.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace kivtest {

struct Locator : MsgHandlerImp {
    Locator(short code, std::string answer) : code(code), answer(std::move(answer))
    {
        msg_handler_register(this);
    }
    ~Locator() override { msg_handler_unregister(this); }
    const char *name() override { return "test locator"; }
    int handle(short c, void *data, std::intptr_t) override
    {
        if (c != code)
            return 0;
        auto *r = static_cast<QEL_LOCATE_REQUEST *>(data);
        sought.emplace_back(r->sought);
        context.emplace_back(r->context ? r->context : "(null)");
        std::strncpy(r->answer, answer.c_str(), static_cast<size_t>(r->answer_size) - 1);
        return 0;
    }
    short code;
    std::string answer;
    std::vector<std::string> sought, context;
};

} // namespace kivtest
