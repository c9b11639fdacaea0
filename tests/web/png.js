// Reads the PNG files trazo render writes (8-bit RGB or RGBA, not interlaced) into RGBA
// bytes, with node's own zlib.
import { inflateSync } from 'node:zlib';

const kSignature = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);

function paeth(a, b, c) {
  const p = a + b - c;
  const pa = Math.abs(p - a);
  const pb = Math.abs(p - b);
  const pc = Math.abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

export function decodePng(file) {
  if (!file.subarray(0, 8).equals(kSignature)) throw new Error('not a PNG file');
  let width = 0;
  let height = 0;
  let channels = 0;
  const data = [];
  for (let at = 8; at < file.length; ) {
    const length = file.readUInt32BE(at);
    const type = file.toString('latin1', at + 4, at + 8);
    const body = file.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      const [depth, colour, , , interlace] = body.subarray(8);
      channels = { 2: 3, 6: 4 }[colour];
      if (depth !== 8 || !channels || interlace !== 0) throw new Error('unexpected PNG format');
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = rows.subarray(y * stride, (y + 1) * stride);
    const up = y > 0 ? rows.subarray((y - 1) * stride, y * stride) : Buffer.alloc(stride);
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? out[i - channels] : 0;
      const c = i >= channels ? up[i - channels] : 0;
      const predictor = [0, a, up[i], (a + up[i]) >> 1, paeth(a, up[i], c)][filter];
      out[i] = (line[i] + predictor) & 0xff;
    }
  }
  const rgba = Buffer.alloc(width * height * 4, 0xff);
  for (let p = 0; p < width * height; ++p) rows.copy(rgba, p * 4, p * channels, p * channels + Math.min(channels, 4));
  return { width, height, rgba };
}
