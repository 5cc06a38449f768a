#pragma once

class ControlRegistry;
class MailCheckRunner;

// The control command "mail-check" of a running copy: one poll now (or the one already
// running), answered when it ends with the report (MailPollReport::toJson()).
namespace MailControl {

constexpr const char* kCheckCommand = "mail-check";
// A poll may read item pages for every mail: the caller waits this long.
constexpr int kReplyTimeoutMs = 15 * 60 * 1000;

void install(ControlRegistry& registry, MailCheckRunner& runner);

} // namespace MailControl
