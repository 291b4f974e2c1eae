#!/usr/bin/env python3
"""Derives the reference seed files in data/ from packaged sources.

  Svatek.tsv    name days       npm namedays-cs (MIT), corrected below
  TelefSvt.tsv  dialling codes  npm countries-list (MIT) + Debian iso-codes Czech names (LGPL-2.1+),
                                corrected below after a check against libphonenumber
  Spzzem.tsv    vehicle codes   typed below; country names from Debian iso-codes
  TelefCR.tsv   +420 prefixes   libphonenumber geocoding (Apache-2.0), via geocode_cz
  Cas.tsv       world time      system tzdata (public domain); Czech city names typed below

Run through tools/derive-seeds.sh, which fetches the npm packages into a scratch folder.
"""

import argparse
import datetime
import gettext
import json
import pathlib
import sys
import zoneinfo

MONTHS = ["leden", "únor", "březen", "duben", "květen", "červen",
          "červenec", "srpen", "září", "říjen", "listopad", "prosinec"]

# Days the name-day list leaves empty carry the public holiday, as Czech calendars print it.
HOLIDAYS = {
    (1, 1): "Nový rok",
    (5, 1): "Svátek práce",
    (5, 8): "Den vítězství",
    (7, 6): "Mistr Jan Hus",
    (12, 25): "1. svátek vánoční",
}

# International vehicle registration codes (distinguishing signs) by ISO alpha-2.
VEHICLE_CODES = {
    "A": "AT", "AFG": "AF", "AL": "AL", "AM": "AM", "AND": "AD", "AUS": "AU", "AZ": "AZ",
    "B": "BE", "BD": "BD", "BDS": "BB", "BF": "BF", "BG": "BG", "BIH": "BA", "BOL": "BO",
    "BR": "BR", "BRN": "BH", "BRU": "BN", "BS": "BS", "BY": "BY",
    "C": "CU", "CAM": "CM", "CDN": "CA", "CH": "CH", "CI": "CI", "CL": "LK", "CO": "CO",
    "CR": "CR", "CY": "CY", "CZ": "CZ",
    "D": "DE", "DK": "DK", "DOM": "DO", "DY": "BJ", "DZ": "DZ",
    "E": "ES", "EAK": "KE", "EAT": "TZ", "EAU": "UG", "EC": "EC", "ES": "SV", "EST": "EE",
    "ET": "EG", "ETH": "ET",
    "F": "FR", "FIN": "FI", "FJI": "FJ", "FL": "LI",
    "G": "GA", "GBZ": "GI", "GCA": "GT", "GE": "GE", "GH": "GH", "GR": "GR", "GUY": "GY",
    "H": "HU", "HKJ": "JO", "HR": "HR",
    "I": "IT", "IL": "IL", "IND": "IN", "IR": "IR", "IRL": "IE", "IRQ": "IQ", "IS": "IS",
    "J": "JP", "JA": "JM",
    "K": "KH", "KS": "KG", "KWT": "KW", "KZ": "KZ",
    "L": "LU", "LAO": "LA", "LAR": "LY", "LB": "LR", "LS": "LS", "LT": "LT", "LV": "LV",
    "M": "MT", "MA": "MA", "MAL": "MY", "MC": "MC", "MD": "MD", "MEX": "MX", "MGL": "MN",
    "MNE": "ME", "MOC": "MZ", "MS": "MU", "MW": "MW",
    "N": "NO", "NAM": "NA", "NEP": "NP", "NIC": "NI", "NL": "NL", "NMK": "MK", "NZ": "NZ",
    "OM": "OM",
    "P": "PT", "PA": "PA", "PE": "PE", "PK": "PK", "PL": "PL", "PNG": "PG", "PY": "PY",
    "Q": "QA",
    "RA": "AR", "RB": "BW", "RCA": "CF", "RCB": "CG", "RCH": "CL", "RG": "GN", "RH": "HT",
    "RI": "ID", "RIM": "MR", "RL": "LB", "RM": "MG", "RMM": "ML", "RN": "NE", "RO": "RO",
    "ROK": "KR", "ROU": "UY", "RP": "PH", "RSM": "SM", "RT": "TG", "RU": "BI", "RUS": "RU",
    "RWA": "RW",
    "S": "SE", "SD": "SZ", "SGP": "SG", "SK": "SK", "SLO": "SI", "SME": "SR", "SN": "SN",
    "SRB": "RS", "SUD": "SD", "SY": "SC", "SYR": "SY",
    "T": "TH", "TJ": "TJ", "TM": "TM", "TN": "TN", "TR": "TR", "TT": "TT",
    "UA": "UA", "UAE": "AE", "UK": "GB", "USA": "US", "UZ": "UZ",
    "V": "VA", "VN": "VN",
    "WAG": "GM", "WAL": "SL", "WAN": "NG",
    "YV": "VE",
    "Z": "ZM", "ZA": "ZA", "ZW": "ZW",
}

# Where namedays-cs is wrong, checked day by day against the name-day list of
# the pynameday package and a second published list of the Czech civil calendar.
NAME_DAY_CORRECTIONS = {
    (7, 22): "Magdaléna",  # namedays-cs has "Magdeléna"
}

# Where countries-list is wrong, checked country by country against
# libphonenumber's metadata (Debian python3-phonenumbers 8.12): Kosovo's own
# code is +383 (+377 is Monaco, +381 Serbia, +386 Slovenia); the islands that
# share +599 or +47 dial their own area digit after it; the Vatican's +379 was
# assigned but is not used, its numbers are +39 06 698; Jamaica has had a
# second area code since 2018.
DIALLING_CORRECTIONS = {
    "XK": ["+383"],
    "BQ": ["+599 7", "+599 3", "+599 4"],  # Bonaire, Sint Eustatius, Saba
    "CW": ["+599 9"],
    "SJ": ["+47 79"],
    "VA": ["+39 06 698"],
    "JM": ["+1 876", "+1 658"],
}

# Names iso-codes does not carry (not ISO 3166 countries).
EXTRA_COUNTRY_NAMES = {"XK": "Kosovo"}

REGIONS = {
    "Prague": "Praha",
    "Central Bohemian Region": "Středočeský kraj",
    "South Bohemian Region": "Jihočeský kraj",
    "Plzeň Region": "Plzeňský kraj",
    "Karlovy Vary Region": "Karlovarský kraj",
    "Ústí nad Labem Region": "Ústecký kraj",
    "Liberec Region": "Liberecký kraj",
    "Hradec Králové Region": "Královéhradecký kraj",
    "Pardubice Region": "Pardubický kraj",
    "Vysočina Region": "Kraj Vysočina",
    "South Moravian Region": "Jihomoravský kraj",
    "Olomouc Region": "Olomoucký kraj",
    "Zlín Region": "Zlínský kraj",
    "Moravian-Silesian Region": "Moravskoslezský kraj",
}

# (country, city, time zone), in Czech alphabetical order of country, then city.
CITIES = [
    ("Argentina", "Buenos Aires", "America/Argentina/Buenos_Aires"),
    ("Austrálie", "Adelaide", "Australia/Adelaide"),
    ("Austrálie", "Brisbane", "Australia/Brisbane"),
    ("Austrálie", "Melbourne", "Australia/Melbourne"),
    ("Austrálie", "Perth", "Australia/Perth"),
    ("Austrálie", "Sydney", "Australia/Sydney"),
    ("Bangladéš", "Dháka", "Asia/Dhaka"),
    ("Belgie", "Brusel", "Europe/Brussels"),
    ("Brazílie", "Brasília", "America/Sao_Paulo"),
    ("Brazílie", "Rio de Janeiro", "America/Sao_Paulo"),
    ("Brazílie", "São Paulo", "America/Sao_Paulo"),
    ("Bulharsko", "Sofie", "Europe/Sofia"),
    ("Česko", "Praha", "Europe/Prague"),
    ("Čína", "Hongkong", "Asia/Hong_Kong"),
    ("Čína", "Peking", "Asia/Shanghai"),
    ("Čína", "Šanghaj", "Asia/Shanghai"),
    ("Dánsko", "Kodaň", "Europe/Copenhagen"),
    ("Egypt", "Káhira", "Africa/Cairo"),
    ("Etiopie", "Addis Abeba", "Africa/Addis_Ababa"),
    ("Filipíny", "Manila", "Asia/Manila"),
    ("Finsko", "Helsinky", "Europe/Helsinki"),
    ("Francie", "Paříž", "Europe/Paris"),
    ("Chile", "Santiago de Chile", "America/Santiago"),
    ("Indie", "Bombaj", "Asia/Kolkata"),
    ("Indie", "Nové Dillí", "Asia/Kolkata"),
    ("Indonésie", "Jakarta", "Asia/Jakarta"),
    ("Irák", "Bagdád", "Asia/Baghdad"),
    ("Írán", "Teherán", "Asia/Tehran"),
    ("Irsko", "Dublin", "Europe/Dublin"),
    ("Island", "Reykjavík", "Atlantic/Reykjavik"),
    ("Itálie", "Řím", "Europe/Rome"),
    ("Izrael", "Jeruzalém", "Asia/Jerusalem"),
    ("Japonsko", "Tokio", "Asia/Tokyo"),
    ("Jihoafrická republika", "Johannesburg", "Africa/Johannesburg"),
    ("Jižní Korea", "Soul", "Asia/Seoul"),
    ("Kanada", "Montreal", "America/Toronto"),
    ("Kanada", "Toronto", "America/Toronto"),
    ("Kanada", "Vancouver", "America/Vancouver"),
    ("Keňa", "Nairobi", "Africa/Nairobi"),
    ("Kolumbie", "Bogota", "America/Bogota"),
    ("Kuba", "Havana", "America/Havana"),
    ("Maďarsko", "Budapešť", "Europe/Budapest"),
    ("Malajsie", "Kuala Lumpur", "Asia/Kuala_Lumpur"),
    ("Mexiko", "Mexiko", "America/Mexico_City"),
    ("Mongolsko", "Ulánbátar", "Asia/Ulaanbaatar"),
    ("Německo", "Berlín", "Europe/Berlin"),
    ("Nepál", "Káthmándú", "Asia/Kathmandu"),
    ("Nigérie", "Lagos", "Africa/Lagos"),
    ("Nizozemsko", "Amsterdam", "Europe/Amsterdam"),
    ("Norsko", "Oslo", "Europe/Oslo"),
    ("Nový Zéland", "Auckland", "Pacific/Auckland"),
    ("Nový Zéland", "Wellington", "Pacific/Auckland"),
    ("Pákistán", "Karáčí", "Asia/Karachi"),
    ("Peru", "Lima", "America/Lima"),
    ("Polsko", "Varšava", "Europe/Warsaw"),
    ("Portugalsko", "Lisabon", "Europe/Lisbon"),
    ("Rakousko", "Vídeň", "Europe/Vienna"),
    ("Rumunsko", "Bukurešť", "Europe/Bucharest"),
    ("Rusko", "Moskva", "Europe/Moscow"),
    ("Rusko", "Novosibirsk", "Asia/Novosibirsk"),
    ("Rusko", "Petrohrad", "Europe/Moscow"),
    ("Rusko", "Vladivostok", "Asia/Vladivostok"),
    ("Řecko", "Atény", "Europe/Athens"),
    ("Saúdská Arábie", "Rijád", "Asia/Riyadh"),
    ("Singapur", "Singapur", "Asia/Singapore"),
    ("Slovensko", "Bratislava", "Europe/Bratislava"),
    ("Spojené arabské emiráty", "Dubaj", "Asia/Dubai"),
    ("Spojené království", "Londýn", "Europe/London"),
    ("Srbsko", "Bělehrad", "Europe/Belgrade"),
    ("Španělsko", "Madrid", "Europe/Madrid"),
    ("Švédsko", "Stockholm", "Europe/Stockholm"),
    ("Švýcarsko", "Curych", "Europe/Zurich"),
    ("Tchaj-wan", "Tchaj-pej", "Asia/Taipei"),
    ("Thajsko", "Bangkok", "Asia/Bangkok"),
    ("Turecko", "Istanbul", "Europe/Istanbul"),
    ("Ukrajina", "Kyjev", "Europe/Kyiv"),
    ("USA", "Anchorage", "America/Anchorage"),
    ("USA", "Denver", "America/Denver"),
    ("USA", "Honolulu", "Pacific/Honolulu"),
    ("USA", "Chicago", "America/Chicago"),
    ("USA", "Los Angeles", "America/Los_Angeles"),
    ("USA", "New York", "America/New_York"),
    ("USA", "San Francisco", "America/Los_Angeles"),
    ("USA", "Washington", "America/New_York"),
    ("Venezuela", "Caracas", "America/Caracas"),
    ("Vietnam", "Ho Či Minovo Město", "Asia/Ho_Chi_Minh"),
]


def write_tsv(path, source_lines, header, rows):
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        for line in source_lines:
            out.write("# " + line + "\n")
        out.write("\t".join(header) + "\n")
        for row in rows:
            for cell in row:
                if "\t" in cell or "\n" in cell:
                    sys.exit(f"{path}: a value holds a tab or line break: {cell!r}")
            out.write("\t".join(row) + "\n")
    print(f"{path.name}: {len(rows)} records")


def czech_country_names():
    with open("/usr/share/iso-codes/json/iso_3166-1.json", encoding="utf-8") as f:
        countries = json.load(f)["3166-1"]
    with open("/usr/share/locale/cs/LC_MESSAGES/iso_3166-1.mo", "rb") as f:
        czech = gettext.GNUTranslations(f)
    names = {c["alpha_2"]: czech.gettext(c.get("common_name", c["name"])) for c in countries}
    names.update(EXTRA_COUNTRY_NAMES)
    return names


def name_days(npm, out):
    with open(npm / "namedays-cs/dist/names.json", encoding="utf-8") as f:
        names = json.load(f)
    rows = []
    day = datetime.date(2024, 1, 1)  # a leap year: 366 days, 29 February included
    while day.year == 2024:
        listed = names.get(f"{day.month:02}-{day.day:02}", [])
        if (day.month, day.day) in NAME_DAY_CORRECTIONS:
            listed = [NAME_DAY_CORRECTIONS[(day.month, day.day)]]
        if listed:
            text = listed[0] if len(listed) == 1 else ", ".join(listed[:-1]) + " a " + listed[-1]
        else:
            text = HOLIDAYS.get((day.month, day.day))
            if text is None:
                sys.exit(f"no name day for {day}")
        rows.append([f"{day.day}. {MONTHS[day.month - 1]}", text, "", str(day.timetuple().tm_yday)])
        day += datetime.timedelta(days=1)
    write_tsv(out / "Svatek.tsv",
              ["Czech name days: npm namedays-cs (MIT, see licences/namedays-cs.txt);",
               "empty days carry the public holiday. Derived by tools/derive_seeds.py,",
               "which corrects what a check against a second published list found wrong."],
              ["Datum", "Svátek", "Výročí", "Číslo"], rows)


def dialling_prefix(code):
    text = str(code)
    # North American numbering: country code 1 followed by the area code.
    if len(text) == 4 and text.startswith("1"):
        return "+1 " + text[1:]
    return "+" + text


def dialling_codes(npm, names, out):
    with open(npm / "countries-list/countries.min.json", encoding="utf-8") as f:
        countries = json.load(f)
    rows = []
    for alpha2, country in countries.items():
        if alpha2 not in names or not country["phone"]:
            print(f"TelefSvt: {alpha2} {country['name']} left out (no Czech name)")
            continue
        prefixes = DIALLING_CORRECTIONS.get(alpha2) or [dialling_prefix(p) for p in country["phone"]]
        rows.append([names[alpha2], ", ".join(prefixes)])
    rows.sort(key=lambda r: r[0])
    if len({r[0] for r in rows}) != len(rows):
        sys.exit("TelefSvt: two countries with one name")
    write_tsv(out / "TelefSvt.tsv",
              ["International dialling codes: npm countries-list (MIT, see licences/countries-list.txt);",
               "Czech country names: Debian iso-codes (LGPL-2.1+, see licences/iso-codes.txt).",
               "Derived by tools/derive_seeds.py, which corrects what a check against",
               "libphonenumber's metadata found wrong."],
              ["Země", "Předvolba"], rows)


def vehicle_codes(names, out):
    rows = sorted(([names[a2], code] for code, a2 in VEHICLE_CODES.items()), key=lambda r: r[0])
    if len({r[0] for r in rows}) != len(rows):
        sys.exit("Spzzem: two codes for one country")
    write_tsv(out / "Spzzem.tsv",
              ["International vehicle registration codes, typed in tools/derive_seeds.py;",
               "Czech country names: Debian iso-codes (LGPL-2.1+, see licences/iso-codes.txt)."],
              ["ZEMĚ", "ZNAČKA"], rows)


def shorten(prefixes_by_region):
    """Collapses ten consecutive prefixes of one region into their common prefix."""
    regions = dict(prefixes_by_region)
    changed = True
    while changed:
        changed = False
        for parent in sorted({p[:-1] for p in regions if len(p) > 1}):
            children = [parent + str(d) for d in range(10)]
            owners = {regions.get(c) for c in children}
            if len(owners) == 1 and None not in owners:
                for c in children:
                    del regions[c]
                regions[parent] = owners.pop()
                changed = True
    return regions


def czech_prefixes(geocode_lines, out):
    regions = {}
    for line in geocode_lines:
        prefix, english = line.rstrip("\n").split("\t")
        if english not in REGIONS:
            sys.exit(f"TelefCR: no Czech name for region {english!r}")
        regions[prefix] = REGIONS[english]
    by_region = {}
    for prefix, region in sorted(shorten(regions).items()):
        by_region.setdefault(region, []).append(prefix)
    rows = sorted(([region, ", ".join(p)] for region, p in by_region.items()), key=lambda r: r[1])
    write_tsv(out / "TelefCR.tsv",
              ["Czech fixed-line prefixes (+420) by region: libphonenumber geocoding data",
               "(Apache-2.0, see licences/libphonenumber.txt), region names translated.",
               "Derived by tools/derive_seeds.py."],
              ["Telefonní obvod", "Předvolba"], rows)


def standard_offset(zone, year):
    # Standard time is the smaller of the winter and summer offsets; isdst flags
    # are not trusted (Dublin keeps a negative summer-time rule in tzdata).
    tz = zoneinfo.ZoneInfo(zone)
    return min(datetime.datetime(year, m, 15, 12, tzinfo=tz).utcoffset() for m in (1, 7))


def world_time(out):
    year = datetime.date.today().year
    home = standard_offset("Europe/Prague", year)
    rows = []
    for country, city, zone in CITIES:
        minutes = int((standard_offset(zone, year) - home).total_seconds()) // 60
        sign = "-" if minutes < 0 else "+"
        minutes = abs(minutes)
        rows.append([country, city, sign, f"{minutes // 60}:{minutes % 60:02}"])
    write_tsv(out / "Cas.tsv",
              ["Standard-time difference from Czech standard time (CET), no summer time:",
               f"system tzdata, {year}; Czech city names typed in tools/derive_seeds.py."],
              ["Země", "Město", "Směr", "Posun"], rows)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--npm", required=True, type=pathlib.Path, help="node_modules folder")
    parser.add_argument("--geocode", required=True, type=pathlib.Path, help="output of geocode_cz")
    parser.add_argument("--out", required=True, type=pathlib.Path, help="the data folder")
    args = parser.parse_args()
    names = czech_country_names()
    name_days(args.npm, args.out)
    dialling_codes(args.npm, names, args.out)
    vehicle_codes(names, args.out)
    with open(args.geocode, encoding="utf-8") as f:
        czech_prefixes(f.readlines(), args.out)
    world_time(args.out)


if __name__ == "__main__":
    main()
