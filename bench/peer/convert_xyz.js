// Peer yardstick: the same XYZ lines that bench/cli_throughput.sh writes ("X,Y,Z" header, then
// X,Y,Z on a 0..100 scale, illuminant C), each converted to a Munsell notation by the npm package
// "munsell" and written as one line. A colour the package cannot invert writes its reason instead.
//
// Usage: node bench/peer/convert_xyz.js INPUT [OUTPUT]
// The package is found through NODE_PATH (npm install munsell in a folder outside the repository,
// then NODE_PATH=that/node_modules).
'use strict';
const fs = require('fs');
const { xyzToMunsell, ILLUMINANT_C } = require('munsell');

const [input, output] = process.argv.slice(2);
if (!input) {
  process.stderr.write('usage: node convert_xyz.js INPUT [OUTPUT]\n');
  process.exit(2);
}
const lines = fs.readFileSync(input, 'latin1').split('\n');
const out = [];
for (let i = 0; i < lines.length; i++) {
  const line = lines[i];
  if (line === '' || (i === 0 && !/^[-+.\d]/.test(line))) continue;
  const f = line.split(',');
  try {
    out.push(xyzToMunsell(f[0] / 100, f[1] / 100, f[2] / 100, ILLUMINANT_C, 2, 1e-6, 200, 'last'));
  } catch (e) {
    out.push(String(e.message));
  }
}
out.push('');
if (output) fs.writeFileSync(output, out.join('\n'));
else process.stdout.write(out.join('\n'));
