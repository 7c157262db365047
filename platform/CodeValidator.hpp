// Checks a guest's code against a requirement: the signature beside its executable must be made
// by the trusted anchor key, match the executable's bytes and name the required team.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>

#include "kit/Decoded.hpp"
#include "platform/CodeRequirement.hpp"
#include "platform/GuestCode.hpp"
#include "platform/SigningKey.hpp"

namespace velmora {

class CodeValidator {
  public:
    explicit CodeValidator(const PublicKey& anchor) : anchor_(anchor) {}

    // The team that signed the guest's code when it satisfies the requirement, else the reason.
    Decoded<std::string> check(const GuestCode& code, const CodeRequirement& requirement);

  private:
    // A verified file is remembered by what changes whenever its bytes may have changed; the
    // change time is included because a file's owner can set the modification time back.
    struct FileIdentity {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        timespec changed{};
        friend bool operator<(const FileIdentity& a, const FileIdentity& b) {
            return std::tie(a.device, a.inode, a.size, a.modified.tv_sec, a.modified.tv_nsec,
                            a.changed.tv_sec, a.changed.tv_nsec) <
                   std::tie(b.device, b.inode, b.size, b.modified.tv_sec, b.modified.tv_nsec,
                            b.changed.tv_sec, b.changed.tv_nsec);
        }
    };

    Decoded<std::string> verifiedTeam(const GuestCode& code);
    // One check; none when the file changed while it was being read.
    std::optional<Decoded<std::string>> verifiedTeamOnce(const GuestCode& code);

    PublicKey anchor_;
    std::mutex mutex_;
    std::map<FileIdentity, std::string> verified_;
};

}  // namespace velmora
