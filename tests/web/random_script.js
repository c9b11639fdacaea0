// A call script of `count` random entities from a fixed seed: lines, boxes, circles, arcs
// (negative angles and sweeps across +X among them) and texts at any angle, every colour
// and line type. Numbers are written in JavaScript's shortest round-trip form, so the
// script reader reads back exactly the doubles drawn here.
function mulberry32(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

export function randomScript(count, seed) {
  const random = mulberry32(seed);
  const between = (low, high) => low + (high - low) * random();
  const whole = (low, high) => Math.floor(between(low, high + 1));
  const lines = [];
  for (let i = 0; i < count; ++i) {
    const x = between(-500, 500);
    const y = between(-300, 300);
    const style = `${whole(0, 7)}, ${whole(-1, 4)}`;
    const kind = random();
    if (kind < 0.4) {
      lines.push(`AddLine ${x}, ${y}, ${x + between(-80, 80)}, ${y + between(-80, 80)}, ${style}, ""`);
    } else if (kind < 0.5) {
      lines.push(`AddBox ${x}, ${y}, ${x + between(-40, 40)}, ${y + between(-40, 40)}, ${style}, "box"`);
    } else if (kind < 0.6) {
      lines.push(`AddCircle ${x}, ${y}, ${between(0, 60)}, ${style}, ""`);
    } else if (kind < 0.8) {
      const sa = between(-7, 7);
      const ea = between(-7, 7);
      lines.push(`AddCircle2 ${x}, ${y}, ${between(0, 60)}, ${sa}, ${ea}, ${style}, ""`);
    } else {
      const text = ['A', 'Trazo', 'label 12', '日本', 'x'][whole(0, 4)];
      lines.push(`AddText ${x}, ${y}, ${between(1, 20)}, ${between(-720, 720)}, ${whole(0, 7)}, "${text}", ""`);
    }
  }
  lines.push('Reflash');
  return `${lines.join('\n')}\n`;
}
