#!/usr/bin/env python3
"""Generate app/data/SITES.DAT, the radar-site catalogue shipped with Stormtap.

Input: nexrad-stations.txt beside this script (NOAA's fixed-column station list).
Output: one item per line, CR LF line ends, ASCII; per site the display line,
the image path and the region mask, the list closed by "end".

    python3 tools/sites/make_sites.py [--input FILE] [--output FILE]

The output is committed; the build never runs this script.
"""

import argparse
import re
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
DEFAULT_INPUT = HERE / "nexrad-stations.txt"
DEFAULT_OUTPUT = HERE.parent.parent / "app" / "data" / "SITES.DAT"

MAX_SITES = 150  # the catalogue table holds 151 slots, one of them taken by "end"

# Region bits as the Radar Sites page shows them.
NE, MID_ATL, GREAT_LKS, SE, S_PLAINS, NC, NW, WEST = (1 << k for k in range(8))

# Region(s) of each of the 48 contiguous states (and DC). A state on the border
# of two regions belongs to both, so its sites show under either filter.
STATE_REGIONS = {
    "ME": NE, "NH": NE, "VT": NE, "MA": NE, "RI": NE, "CT": NE,
    "NY": NE | GREAT_LKS,          # Buffalo and Fort Drum sit on the lakes
    "NJ": NE | MID_ATL,
    "PA": NE | MID_ATL | GREAT_LKS,  # Pittsburgh and Erie look to the lakes
    "DE": MID_ATL, "MD": MID_ATL, "DC": MID_ATL, "VA": MID_ATL,
    "WV": MID_ATL | GREAT_LKS,
    "NC": MID_ATL | SE,
    "OH": GREAT_LKS, "MI": GREAT_LKS, "IN": GREAT_LKS, "IL": GREAT_LKS,
    "WI": GREAT_LKS | NC, "MN": GREAT_LKS | NC,
    "SC": SE, "GA": SE, "FL": SE, "AL": SE, "MS": SE, "TN": SE,
    "KY": SE | GREAT_LKS,
    "LA": SE | S_PLAINS, "AR": SE | S_PLAINS,
    "TX": S_PLAINS, "OK": S_PLAINS,
    "KS": S_PLAINS | NC,
    "NM": S_PLAINS | WEST,
    "ND": NC, "SD": NC, "NE": NC, "IA": NC, "MO": NC,
    "WA": NW, "OR": NW, "ID": NW, "MT": NW | NC,
    "WY": NW | WEST,
    "CO": WEST, "UT": WEST, "NV": WEST, "AZ": WEST, "CA": WEST,
}

# Units that are not operational sites of their own.
EXCLUDED = {"KCRI", "KOUN"}

# Names that NOAA abbreviates, joins without punctuation, or shares between two
# sites. A fetch-list entry finds its site again by the first ten characters of
# the name, so those must tell every site apart (see check_search_keys).
NAME_OVERRIDES = {
    "KAKQ": "Norfolk/Richmond",
    "KDGX": "Jackson/Brandon",
    "KDIX": "Philadelphia (Fort Dix)",
    "KEPZ": "El Paso (Santa Teresa)",
    "KEWX": "Austin/San Antonio",
    "KEYX": "Edwards AFB",
    "KFTG": "Denver",
    "KFWS": "Dallas/Fort Worth",
    "KGYX": "Gray (Portland)",
    "KHDC": "Hammond",
    "KHNX": "San Joaquin Valley",
    "KLGX": "Langley Hill",
    "KLSX": "St. Louis",
    "KLWX": "Sterling (Washington DC)",
    "KMAF": "Midland/Odessa",
    "KRAX": "Raleigh/Durham",
    "KRLX": "Ruthdale (Charleston)",
}

KEEP_UPPER = {"AFB", "DC"}


def title_case(text):
    words = []
    for word in text.split():
        if word in KEEP_UPPER:
            words.append(word)
        else:
            words.append(word[:1].upper() + word[1:].lower())
    return " ".join(words)


def read_stations(path):
    """Yield dicts keyed by the column headings of the fixed-column list."""
    lines = path.read_text(encoding="ascii").splitlines()
    heading, dashes = lines[0], lines[1]
    spans = [(m.start(), m.end()) for m in re.finditer(r"-+", dashes)]
    names = [heading[a:b].strip() for a, b in spans]
    for line in lines[2:]:
        if line.strip():
            yield {n: line[a:b].strip() for n, (a, b) in zip(names, spans)}


def select_sites(stations):
    sites = []
    for st in stations:
        icao, state = st["ICAO"], st["ST"]
        if st["STNTYPE"] != "NEXRAD" or st["COUNTRY"] != "UNITED STATES":
            continue
        if icao in EXCLUDED or state not in STATE_REGIONS:
            continue  # Alaska, Hawaii, Puerto Rico, Guam and the like
        if not re.fullmatch(r"K[A-Z]{3}", icao):
            sys.exit(f"unexpected identifier {icao!r}")
        name = NAME_OVERRIDES.get(icao) or title_case(st["NAME"])
        sites.append({
            "id": icao,
            "display": f"{icao} {name}, {state}",
            "path": icao,
            "mask": STATE_REGIONS[state],
        })
    sites.sort(key=lambda s: s["id"])
    return sites


def search_key(display):
    """First ten characters of the padded site name, as SiteSearch trims them."""
    padded = display[5:].strip()
    while len(padded) <= 13:
        padded += " "
    return padded[:10].strip()


def check_search_keys(sites):
    """Each site but the last must be the first whose line holds its key.

    SiteSearch returns the first site in file order whose display line contains
    the key and never compares the last site, so a key found in an earlier line
    would send the entry to the wrong site.
    """
    problems = []
    for i, site in enumerate(sites[:-1]):
        key = search_key(site["display"])
        for earlier in sites[:i]:
            if key in earlier["display"]:
                problems.append(f"{site['display']!r}: key {key!r} found in "
                                f"earlier {earlier['display']!r}")
                break
    return problems


def check_sites(sites):
    problems = check_search_keys(sites)
    if not sites or len(sites) > MAX_SITES:
        problems.append(f"{len(sites)} sites, want 1 to {MAX_SITES}")
    for site in sites:
        line = site["display"]
        if '"' in line or not line.isascii() or line[4] != " ":
            problems.append(f"bad display line {line!r}")
    paths = [s["path"] for s in sites]
    if len(set(paths)) != len(paths):
        problems.append("duplicate image paths")
    return problems


def render(sites):
    items = []
    for site in sites:
        items += [f'"{site["display"]}"', f'"{site["path"]}"', str(site["mask"])]
    items.append("end")
    return "".join(item + "\r\n" for item in items).encode("ascii")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--input", type=Path, default=DEFAULT_INPUT)
    parser.add_argument("--output", type=Path, default=DEFAULT_OUTPUT)
    args = parser.parse_args()

    sites = select_sites(read_stations(args.input))
    problems = check_sites(sites)
    if problems:
        sys.exit("SITES.DAT not written:\n  " + "\n  ".join(problems))
    args.output.parent.mkdir(parents=True, exist_ok=True)
    args.output.write_bytes(render(sites))
    print(f"wrote {len(sites)} sites to {args.output}")


if __name__ == "__main__":
    main()
