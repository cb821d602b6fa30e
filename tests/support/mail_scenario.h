#pragma once
// E-mail settings for tests: what the simulated service holds before the client reads
// them, on a service of a chosen version.

#include <cstdint>

#include "servicesim/scenario.h"

namespace veltrix::testing {

struct ServiceVersionWords {
    std::uint16_t major, minor, build, revision;
};

// Complete settings: mail on, level 20, STARTTLS with TLS v 1.2 on port 587.
inline sim::MailSettings StoredMailSettings() {
    sim::MailSettings m;
    m.senderName = "Server room";
    m.senderAddress = "raid@example.org";
    m.userName = "raid";
    m.password = "s3cret";
    m.server = "smtp.example.org";
    m.recipient = "admin@example.org";
    m.flags = 0x01;
    m.level = 20;
    m.level2 = 33;
    m.authMethod = 2;
    m.port = 587;
    m.legacySsl = 1;
    m.connectionType = 2;
    m.tlsProtocol = 3;
    return m;
}

// `base` with the service's version and e-mail settings put in.
inline sim::Scenario WithMail(sim::Scenario base, ServiceVersionWords version,
                              sim::MailSettings settings = StoredMailSettings()) {
    base.versionMajor = version.major;
    base.versionMinor = version.minor;
    base.versionBuild = version.build;
    base.versionRevision = version.revision;
    base.mail = std::move(settings);
    return base;
}

}  // namespace veltrix::testing
