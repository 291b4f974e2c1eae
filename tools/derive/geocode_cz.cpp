// Prints libphonenumber's geocoding of Czech fixed-line numbers: for every
// three-digit national prefix with a region, "prefix<TAB>English region".
// Built and run by derive-seeds.sh; not part of the program.
#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumber.pb.h>
#include <phonenumbers/phonenumberutil.h>

#include <unicode/locid.h>

#include <cstdint>
#include <iostream>

int main()
{
    using namespace i18n::phonenumbers;
    PhoneNumberOfflineGeocoder geocoder;
    const PhoneNumberUtil* util = PhoneNumberUtil::GetInstance();
    for (std::uint64_t prefix = 100; prefix < 1000; ++prefix) {
        PhoneNumber number;
        number.set_country_code(420);
        number.set_national_number(prefix * 1000000U);
        if (util->GetNumberType(number) != PhoneNumberUtil::FIXED_LINE)
            continue;
        const std::string region = geocoder.GetDescriptionForNumber(number, icu::Locale("en"));
        if (!region.empty())
            std::cout << prefix << '\t' << region << '\n';
    }
    return 0;
}
