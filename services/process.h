// Test seams of the process services.
#pragma once

namespace services {

// Makes the next GetTaxYear read "taxyear.ini" again.
void ForgetTaxYearForTesting();

}  // namespace services
