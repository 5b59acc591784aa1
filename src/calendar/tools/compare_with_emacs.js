// Lists the months on which src/calendar/ChineseTable.cpp and Emacs's
// calendar (cal-china.el) disagree, for docs/calendar.md:
//
//   emacs --batch -l src/calendar/tools/emacs_chinese_years.el \
//       -f cross-check-months 1368 2100 > /tmp/emacs-months.txt
//   node src/calendar/tools/compare_with_emacs.js /tmp/emacs-months.txt
//
// Each line of either side is "YEAR MONTH FIRST-DAY", a leap month negated.
'use strict';
const fs = require('fs');
const path = require('path');

const table = fs.readFileSync(path.join(__dirname, '..', 'ChineseTable.cpp'), 'utf8');
const firstYear = Number(/kChineseTableFirstYear = (\d+)/.exec(table)[1]);
const words = [...table.split('= {')[1].matchAll(/0x([0-9a-f]+)/g)].map((m) => parseInt(m[1], 16));

function civil(z) {
  z += 719468;
  const era = Math.floor(z / 146097);
  const doe = z - era * 146097;
  const yoe = Math.floor((doe - Math.floor(doe / 1460) + Math.floor(doe / 36524) - Math.floor(doe / 146096)) / 365);
  const doy = doe - (365 * yoe + Math.floor(yoe / 4) - Math.floor(yoe / 100));
  const mp = Math.floor((5 * doy + 2) / 153);
  const d = doy - Math.floor((153 * mp + 2) / 5) + 1;
  const m = mp < 10 ? mp + 3 : mp - 9;
  const pad = (n) => String(n).padStart(2, '0');
  return `${yoe + era * 400 + (m <= 2 ? 1 : 0)}-${pad(m)}-${pad(d)}`;
}
function daysFromCivil(y, m, d) {
  y -= m <= 2 ? 1 : 0;
  const era = Math.floor(y / 400);
  const yoe = y - era * 400;
  const doy = Math.floor((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5) + d - 1;
  return era * 146097 + yoe * 365 + Math.floor(yoe / 4) - Math.floor(yoe / 100) + doy - 719468;
}

const ours = new Map();
words.forEach((word, i) => {
  const year = firstYear + i;
  const leap = (word >> 13) & 15;
  let day = daysFromCivil(year, 1, 1) + (word >> 17);
  for (let k = 0; k < (leap ? 13 : 12); ++k) {
    const month = leap && k >= leap ? (k === leap ? -k : k) : k + 1;
    ours.set(`${year} ${month}`, civil(day));
    day += (word >> k) & 1 ? 30 : 29;
  }
});
const emacs = new Map();
for (const line of fs.readFileSync(process.argv[2], 'utf8').split('\n')) {
  const [year, month, first] = line.split(' ');
  if (first) emacs.set(`${year} ${month}`, first);
}
for (const key of new Set([...ours.keys(), ...emacs.keys()])) {
  if (ours.get(key) !== emacs.get(key))
    console.log(`${key}: table ${ours.get(key) || '-'}, Emacs ${emacs.get(key) || '-'}`);
}
