#pragma once

// A program folder that registers sales with the tests' imitation of the EET service.

#include "eet/eet_certificate.h"
#include "eet/eet_settings.h"
#include "support/eet_service_imitation.h"
#include "support/test_support.h"

namespace tarvela::test {

// Points the program folder's EET settings at the imitation (unit 181, till 1) and installs the
// test certificate (password "eet").
inline void PointEetAtImitation(const TempProgramFolder& folder,
                                const EetServiceImitation& service) {
    eet::EetSettings s;
    s.registers = true;
    s.idJednotky = QStringLiteral("181");
    s.idPokl = QStringLiteral("1");
    s.serviceUrl = service.url();
    s.tlsCaFile = EetPki() + QStringLiteral("/tls-ca.pem");
    s.signingChainFile = EetPki() + QStringLiteral("/signing-chain.pem");
    s.eic = eet::ImportCertificate(folder.path(), EetPki() + QStringLiteral("/taxpayer.p12"),
                                   QStringLiteral("eet"));
    eet::SaveEetSettings(folder.path(), s);
}

} // namespace tarvela::test
