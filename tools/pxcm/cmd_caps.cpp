// cmd_caps.cpp — `pxcm caps` lists what the source offers; `pxcm cap`
// sends one capability request and shows the answer.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/memory.h"
#include "tools/pxcm/app.h"
#include "tools/pxcm/cap_names.h"
#include "tools/pxcm/container_text.h"
#include "tools/pxcm/settings_install.h"

namespace {

// One capability request; the container belongs to the caller until it goes.
struct Request {
    TW_UINT16 rc = TWRC_FAILURE;
    TW_UINT16 cc = TWCC_SUCCESS;
    TW_CAPABILITY cap{};
    Request() = default;
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;
    ~Request() {
        if (cap.hContainer) plat::memFree(cap.hContainer);
    }
};

void send(pxcm::Session& session, TW_UINT16 capNumber, TW_UINT16 msg, Request& r) {
    r.cap.Cap = capNumber;
    r.rc = session.call(DG_CONTROL, DAT_CAPABILITY, msg, &r.cap);
    r.cc = session.conditionCode();
}

std::string failureText(const Request& r) {
    return pxcm::answerText(r.rc, r.cc);
}

// The container answered, or the failure.
std::string replyText(const Request& r, const pxcm::ValueNames& names) {
    if (r.rc != TWRC_SUCCESS) return failureText(r);
    return pxcm::containerText(r.cap, names);
}

// The TWQC_ flags of a MSG_QUERYSUPPORT answer.
std::string supportText(const Request& r) {
    if (r.rc != TWRC_SUCCESS) return failureText(r);
    if (r.cap.ConType != TWON_ONEVALUE || !r.cap.hContainer ||
        plat::memSize(r.cap.hContainer) < sizeof(TW_ONEVALUE))
        return "not a TW_ONEVALUE";
    plat::MemLock lock(r.cap.hContainer);
    return pxcm::supportFlagsText(lock.as<TW_ONEVALUE>()->Item);
}

// Settings in place, the source loaded and opened; otherwise a message.
bool openSource(const pxcm::CommandContext& context, pxcm::Session& session, std::string* error) {
    if (!pxcm::installDefaultSettings(error)) return false;
    if (!session.load(context.dsPath, error)) return false;
    TW_UINT16 rc = session.open();
    if (rc != TWRC_SUCCESS) {
        *error = "MSG_OPENDS answered " + pxcm::answerText(rc, session.conditionCode());
        return false;
    }
    return true;
}

int listCaps(const pxcm::CommandContext& context, const std::vector<std::string>& args) {
    if (!args.empty()) return pxcm::fail("caps takes no arguments");
    pxcm::Session session;
    std::string error;
    if (!openSource(context, session, &error)) return pxcm::fail(error);

    Request supported;
    send(session, CAP_SUPPORTEDCAPS, MSG_GET, supported);
    if (supported.rc != TWRC_SUCCESS)
        return pxcm::fail("CAP_SUPPORTEDCAPS answered " + failureText(supported));
    std::vector<TW_UINT16> list;
    {
        plat::MemLock lock(supported.cap.hContainer);
        const std::size_t size = plat::memSize(supported.cap.hContainer);
        if (supported.cap.ConType != TWON_ARRAY || !lock || size < 6)
            return pxcm::fail("CAP_SUPPORTEDCAPS is not an array");
        const auto* a = lock.as<TW_ARRAY>();
        if (a->ItemType != TWTY_UINT16 || a->NumItems > (size - 6) / 2)
            return pxcm::fail("CAP_SUPPORTEDCAPS is not an array of TWTY_UINT16");
        const auto* items = lock.as<TW_UINT8>() + 6;
        for (TW_UINT32 i = 0; i < a->NumItems; ++i)
            list.push_back(static_cast<TW_UINT16>(items[2 * i] | items[2 * i + 1] << 8));
    }

    for (TW_UINT16 c : list) {
        const pxcm::ValueNames names(c);
        Request get, current, def, support;
        send(session, c, MSG_QUERYSUPPORT, support);
        send(session, c, MSG_GET, get);
        send(session, c, MSG_GETCURRENT, current);
        send(session, c, MSG_GETDEFAULT, def);
        TW_UINT16 itemType = 0;
        const bool typed = get.rc == TWRC_SUCCESS && pxcm::containerItemType(get.cap, &itemType);
        std::printf("%s (%u)  %s\n", pxcm::capabilityName(c).c_str(), c,
                    typed ? pxcm::itemTypeName(itemType).c_str() : "?");
        std::printf("  current:  %s\n", replyText(current, names).c_str());
        std::printf("  default:  %s\n", replyText(def, names).c_str());
        std::printf("  allowed:  %s\n", replyText(get, names).c_str());
        std::printf("  supports: %s\n", supportText(support).c_str());
    }
    return 0;
}

int oneRequest(const pxcm::CommandContext& context, const std::vector<std::string>& args) {
    if (args.size() < 2)
        return pxcm::fail(
            "usage: pxcm cap get|getcurrent|getdefault|set|reset|querysupport NAME [VALUE]");
    const std::string& verb = args[0];
    TW_UINT16 msg;
    if (verb == "get")
        msg = MSG_GET;
    else if (verb == "getcurrent")
        msg = MSG_GETCURRENT;
    else if (verb == "getdefault")
        msg = MSG_GETDEFAULT;
    else if (verb == "set")
        msg = MSG_SET;
    else if (verb == "reset")
        msg = MSG_RESET;
    else if (verb == "querysupport")
        msg = MSG_QUERYSUPPORT;
    else
        return pxcm::fail("unknown request " + verb +
                          " (get, getcurrent, getdefault, set, reset, querysupport)");
    if (args.size() != (msg == MSG_SET ? 3u : 2u))
        return pxcm::fail(msg == MSG_SET ? "cap set needs NAME and VALUE"
                                         : "cap " + verb + " takes only NAME");

    unsigned number = 0;
    if (!pxcm::capabilityNumber(args[1], &number))
        return pxcm::fail("unknown capability " + args[1]);
    const auto capNumber = static_cast<TW_UINT16>(number);

    pxcm::Session session;
    std::string error;
    if (!openSource(context, session, &error)) return pxcm::fail(error);
    const pxcm::ValueNames names(capNumber);

    Request r;
    if (msg == MSG_SET) {
        // The item type is the one that the source answers for the capability.
        Request current;
        send(session, capNumber, MSG_GETCURRENT, current);
        TW_UINT16 itemType = 0;
        if (current.rc != TWRC_SUCCESS || !pxcm::containerItemType(current.cap, &itemType))
            return pxcm::fail(pxcm::capabilityName(capNumber) + " answered " +
                              failureText(current) + " to MSG_GETCURRENT");
        TW_UINT32 word = 0;
        if (!names.item(args[2], itemType, &word))
            return pxcm::fail("not a " + pxcm::itemTypeName(itemType) + " value: " + args[2]);
        r.cap.ConType = TWON_ONEVALUE;
        r.cap.hContainer = plat::memAlloc(sizeof(TW_ONEVALUE), true);
        if (!r.cap.hContainer) return pxcm::fail("out of memory");
        {
            plat::MemLock lock(r.cap.hContainer);
            lock.as<TW_ONEVALUE>()->ItemType = itemType;
            lock.as<TW_ONEVALUE>()->Item = word;
        }
    }
    send(session, capNumber, msg, r);
    if (r.rc != TWRC_SUCCESS)
        return pxcm::fail(pxcm::capabilityName(capNumber) + ": " + failureText(r));
    if (msg == MSG_QUERYSUPPORT) {
        std::printf("%s  supports: %s\n", pxcm::capabilityName(capNumber).c_str(),
                    supportText(r).c_str());
        return 0;
    }
    TW_UINT16 itemType = 0;
    const bool typed = pxcm::containerItemType(r.cap, &itemType);
    std::printf("%s  %s %s: %s\n", pxcm::capabilityName(capNumber).c_str(),
                pxcm::containerName(r.cap.ConType).c_str(),
                typed ? pxcm::itemTypeName(itemType).c_str() : "?",
                pxcm::containerText(r.cap, names).c_str());
    return 0;
}

const pxcm::RegisterCommand listCommand{{
    "caps",
    "list every capability with its current, default and allowed values",
    "usage: pxcm caps\n\n"
    "Opens the source and asks CAP_SUPPORTEDCAPS, then for every capability\n"
    "MSG_QUERYSUPPORT, MSG_GETCURRENT, MSG_GETDEFAULT and MSG_GET, and shows the\n"
    "item type, the answers, by name where the dictionary pxcm.ini has names, and\n"
    "the operations that the capability supports (TWQC_ flags). Installs the\n"
    "default settings files first where they are missing.\n",
    listCaps,
}};

const pxcm::RegisterCommand requestCommand{{
    "cap",
    "send one capability request: get, getcurrent, getdefault, set, reset or querysupport",
    "usage: pxcm cap get|getcurrent|getdefault|querysupport NAME\n"
    "       pxcm cap set NAME VALUE\n"
    "       pxcm cap reset NAME\n\n"
    "NAME is a capability name (ICAP_XFERMECH) or number (259, 0x103). VALUE is\n"
    "a value name from the dictionary (TWSX_MEMORY), a number, or a real number\n"
    "for TWTY_FIX32 capabilities; it is sent as a TW_ONEVALUE of the capability's\n"
    "item type. Shows the answer, or the return and condition codes on failure\n"
    "(exit status 1). Installs the default settings files first where they are\n"
    "missing.\n",
    oneRequest,
}};

}  // namespace
