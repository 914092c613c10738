#!/usr/bin/env bash
# Seeds a demo application directory with a few categories, projects, tasks and planned
# hours. Runs only when the folder holds none of the data files: it never overwrites.
set -euo pipefail
appdir="$1"
if [ -n "$(find "$appdir" -maxdepth 1 \( -iname categories.dat -o -iname projects.dat \
            -o -iname hours.dat \) -print -quit)" ]; then
  exit 0
fi

crlf() { sed 's/$/\r/'; }
today=$(date +%-m/%-d/%Y)
tomorrow=$(date -d tomorrow +%-m/%-d/%Y)
nl=$(printf '\xa5\xa5\xa7\xa7')   # an escaped line break inside a one-line record

crlf > "$appdir/categories.dat" <<DATA
Info Products
Affiliate Sites
Niche Blogs
DATA

crlf > "$appdir/Projects.dat" <<DATA
Header^Dog Training eBook^Info Products^10/1/2026^12/31/2026^
^True^,^Purchase Domain Name^,^dogtrainingsecrets.com^,^10/1/2026^,^10/2/2026^
^True^,^Purchase Web Hosting^,^Shared plan, 12 months^,^10/2/2026^,^10/3/2026^
^True^,^Develop Info Product^,^Ten chapters${nl}Bonus: checklist^,^10/3/2026^,^11/15/2026^
^False^,^Write Web Sales Copy^,^Headline first${nl}Then the guarantee^,^11/16/2026^,^11/30/2026^
^False^,^Header & Box Graphics^,^^,^12/1/2026^,^12/5/2026^
^False^,^Setup Web Sites Pages^,^^,^12/6/2026^,^12/10/2026^
^False^,^Gather Testimonial^,^Ask the beta readers^,^12/10/2026^,^12/20/2026^
^False^,^New Click Bank Account^,^^,^^,^^
^False^,^Solo & Affiliate Ads^,^^,^^,^^
^False^,^Send Mailing To Lists^,^^,^^,^^
^False^,^Sell one^,^^,^^,^^
EndProject
Header^Garden Gadgets Reviews^Affiliate Sites^11/1/2026^1/31/2027^
^True^,^Pick ten gadgets^,^Best sellers under \$50^,^11/1/2026^,^11/5/2026^
^False^,^Write the reviews^,^One a day^,^11/6/2026^,^11/20/2026^
^False^,^Join the affiliate programs^,^^,^11/6/2026^,^11/8/2026^
EndProject
Header^Vegan Recipes Blog^Niche Blogs^12/1/2026^6/30/2027^
EndProject
DATA

crlf > "$appdir/Hours.dat" <<DATA
${today}^9:00 AM^Write the sales page headline^
${today}^12:00 M^Lunch with the designer^
${today}^3:00 PM^Answer the beta readers^
${tomorrow}^10:00 AM^Record the welcome video^
DATA
echo "Seeded demo data in $appdir"
