// <trazo-picture>: the Trazo control as a web element.
//
// The element is the control's client area; its one child, a <canvas>, is the picture P1,
// which the control stretches over the element on every change of size. The eight members
// are methods and a property of the element, with the interface's names and argument
// order; they go through the control's late binding, so arguments are coerced as
// automation coerces them, and a failing member throws a TrazoError whose `code` is its
// status. Lifecycle:
//   - creation: Initialize (an empty drawing, P1 at its initial placement);
//   - every change of the element's size (a ResizeObserver): Resize, then Paint;
//   - Paint, whenever the canvas must be drawn again (after a resize, when the device pixel
//     ratio changes, when the browser restores a lost canvas): a whole Reflash through the
//     raster back end at the canvas's device pixels, put into the canvas;
//   - pointer movement over the canvas: the control's MouseMove, raised as a `MouseMove`
//     CustomEvent whose detail is {Button, Shift, X, Y}, X the vertical and Y the
//     horizontal position in P1's current units;
//   - picking: `entityAt` and `entitiesIn` answer which entity shows where on the picture as
//     last painted, in CSS pixels of the element; `trazo-hover` tells of the entity under
//     the pointer as it changes and `trazo-select` of a click, each with {index, kind, tag}
//     (index 0 and kind 'none' for no entity);
//   - the `antialias` attribute (and the property of that name, which reflects it): present,
//     the picture is drawn with the raster's antialiased lines, the same pixels as
//     `trazo render --antialias`; absent, the classic crisp picture. A change paints again;
//   - removal from the document, unless the element is back in it by the next microtask
//     (a move): Terminate. An element put back after that starts again with an empty
//     drawing; members called in between fail with the subscript status.
import createTrazoModule from './trazo_web.js';

const trazo = await createTrazoModule();

// The module's memory: the bytes its heap has handed out and not had back, and the size of
// its WebAssembly memory (which only grows). For watching a long-running page.
export function moduleMemory() {
  return { inUse: trazo.heapBytesInUse(), reserved: trazo.HEAPU8.buffer.byteLength };
}

// The statuses of the members' four run-time errors.
export const Status = Object.freeze({
  overflow: 0x800a0006,
  memory: 0x800a0007,
  subscript: 0x800a0009,
  float: 0x800a000b,
});

// A member's failure: `code` is its status as an unsigned 32-bit number (0x800A000B),
// `kind` the word for it (overflow, memory, subscript, float, or its eight hex digits),
// `argument` the position of the argument at fault where late binding names one.
export class TrazoError extends Error {
  constructor(member, status, argument = -1) {
    const code = status >>> 0;
    const kind = trazo.statusKind(status);
    const hex = code.toString(16).toUpperCase().padStart(8, '0');
    super(kind === hex ? `${member} failed: 0x${hex}` : `${member} failed: ${kind} (0x${hex})`);
    this.name = 'TrazoError';
    this.code = code;
    this.kind = kind;
    this.member = member;
    if (argument >= 0) this.argument = argument;
  }
}

// MouseMove's classic bits; DOM's `buttons` has the same three.
const kButtonBits = 1 | 2 | 4;
const kShiftKey = 1;
const kCtrlKey = 2;
const kAltKey = 4;

const kReflash = 'Reflash';

// How far, in CSS pixels, a pointer may move between press and release for a click.
const kClickSlop = 4;
const kNoEntity = Object.freeze({ index: 0, kind: 'none', tag: '' });

const template = document.createElement('template');
// 320 x 240 CSS pixels: the 4800 x 3600 twips the control proposes to its container.
template.innerHTML = `<style>
  :host { display: inline-block; position: relative; overflow: hidden; width: 320px; height: 240px; }
  :host([hidden]) { display: none; }
  canvas { position: absolute; display: block; image-rendering: pixelated; }
</style><canvas part="picture"></canvas>`;

// A control whose element has gone is freed with it.
const controls = new FinalizationRegistry((control) => control.delete());

export class TrazoPicture extends HTMLElement {
  #control = null;
  #terminated = false;
  #canvas;
  #context;
  #observer;
  #ratioQuery = null;
  #lastPaintStatus = 0;
  #hovered = 0;
  #pressed = null;
  // How near, in CSS pixels, the pointer must come to an entity for the picking events.
  pickTolerance = 3;

  constructor() {
    super();
    const root = this.attachShadow({ mode: 'open' });
    root.append(template.content.cloneNode(true));
    this.#canvas = root.querySelector('canvas');
    this.#context = this.#canvas.getContext('2d');
    this.#canvas.addEventListener('pointermove', (event) => this.#pointerMoved(event));
    this.#canvas.addEventListener('pointerleave', () => this.#hover(0));
    this.#canvas.addEventListener('pointerdown', (event) => {
      this.#pressed = { x: event.clientX, y: event.clientY, button: event.button };
    });
    this.#canvas.addEventListener('pointerup', (event) => this.#released(event));
    this.#canvas.addEventListener('contextrestored', () => this.#paint());
    this.#observer = new ResizeObserver((entries) => this.#resized(entries[entries.length - 1]));
    this.#create();
  }

  static observedAttributes = ['antialias'];

  attributeChangedCallback(name) {
    if (name !== 'antialias') return;
    this.#control.setAntialias(this.antialias);
    if (this.isConnected) this.#paint();
  }

  // Whether the picture is antialiased: the `antialias` attribute.
  get antialias() {
    return this.hasAttribute('antialias');
  }

  set antialias(on) {
    this.toggleAttribute('antialias', Boolean(on));
  }

  connectedCallback() {
    if (this.#terminated) this.#create();
    this.#observer.observe(this);
    this.#watchRatio();
  }

  disconnectedCallback() {
    this.#observer.disconnect();
    this.#ratioQuery?.removeEventListener('change', this.#ratioChanged);
    this.#ratioQuery = null;
    queueMicrotask(() => {
      if (!this.isConnected && !this.#terminated) {
        this.#control.terminate();
        this.#terminated = true;
      }
    });
  }

  // The status of the Reflash that the last Paint ran (0 for success); a failure leaves the
  // picture as that Reflash left it.
  get lastPaintStatus() {
    return this.#lastPaintStatus >>> 0;
  }

  // Sets P1's `property` (Left, Top, Width or Height) to `twips` of the element's client
  // area as Resize does, moves the canvas where the control then puts it and, in a
  // document, paints it again. Returns the
  // status: 0, or the invalid-call status 0x800A0005 for a value P1's placement refuses
  // (not a finite number, a negative size, beyond 2^20 CSS pixels), which changes nothing.
  // The next change of the element's size places P1 over the whole element again.
  placePicture(property, twips) {
    const status = this.#control.place(String(property), Number(twips));
    this.#place();
    if (this.isConnected) this.#paint();
    return status >>> 0;
  }

  // Reads a call script (text, or its bytes as a Uint8Array) with the trazo host's reader
  // and, unless it is rejected, plays it against the control and paints (an element not in
  // a document yet paints once it is placed). Returns
  // {rejected, trace, failures}: one "FILE:LINE: message" per fault of a rejected script;
  // else the lines the run wrote ("Error <Member> <kind>", "Count <n>") and one
  // "FILE:LINE: Error <Member> <kind>" per member that failed.
  runScript(script, fileName = 'script.trz') {
    const outcome = this.#control.runScript(script, fileName);
    if (outcome.rejected.length === 0 && this.isConnected) this.#paint();
    return outcome;
  }

  // The number of the entity seen at (x, y) CSS pixels from the element's top-left corner,
  // within `tolerance` CSS pixels (0: the device pixel there), on the picture as last
  // painted: the one painted last among those that ink a pixel there. 0 for none, for a
  // point outside the picture or not a number, a negative tolerance, a picture not
  // painted since the last Clear; entities added since the last paint are not found.
  entityAt(x, y, tolerance = 0) {
    return this.#control.entityAt(Number(x), Number(y), Number(tolerance));
  }

  // The numbers of the entities the rectangle (CSS pixels of the element) selects, in the
  // order they were painted: those whose outline crosses it or lies in it, or with
  // {inside: true} those wholly in it. An Int32Array; empty where entityAt finds nothing.
  entitiesIn(x, y, width, height, { inside = false } = {}) {
    const found = this.#control.entitiesIn(Number(x), Number(y), Number(width), Number(height), Boolean(inside));
    if (found === null) throw new TrazoError('entitiesIn', Status.memory);
    return found;
  }

  // {index, kind, tag} of entity `index` ('line', 'circle', 'text' or 'arc'), or null when
  // there is none.
  entity(index) {
    return this.#control.entity(Number(index) | 0);
  }

  // The members, from the control's own member table: methods for the methods, a read-only
  // property for Count.
  static {
    for (const member of trazo.members()) {
      if (member.property) {
        Object.defineProperty(this.prototype, member.name, {
          get() {
            return this.#call(member, []);
          },
          configurable: true,
          enumerable: true,
        });
        continue;
      }
      const method = {
        [member.name](...args) {
          this.#call(member, args);
        },
      }[member.name];
      Object.defineProperty(method, 'length', { value: member.params.length });
      Object.defineProperty(this.prototype, member.name, { value: method, configurable: true, writable: true });
    }
  }

  #call(member, args) {
    const control = this.#control;
    const status = control.invoke(member.dispId, args);
    // Reflash paints P1: the canvas shows what it drew, even when it failed part way.
    if (member.name === kReflash) this.#show();
    if (status < 0) throw new TrazoError(member.name, status, control.argError());
    return control.result();
  }

  #create() {
    if (this.#control) {
      controls.unregister(this);
      this.#control.delete();
    }
    // The control holds its handler for as long as it lives: a weak reference lets the
    // element go, and the registry then frees the control.
    const element = new WeakRef(this);
    this.#control = new trazo.ElementControl((Button, Shift, X, Y) =>
      element.deref()?.dispatchEvent(
        new CustomEvent('MouseMove', { detail: { Button, Shift, X, Y }, bubbles: true, composed: true }),
      ),
    );
    controls.register(this, this.#control, this);
    this.#terminated = false;
    this.#control.setAntialias(this.antialias);
    this.#control.initialize();
    this.#place();
  }

  #resized(entry) {
    this.#control.resize(entry.contentRect.width, entry.contentRect.height);
    this.#place();
    this.#paint();
  }

  #place() {
    const p = this.#control.placement();
    const style = this.#canvas.style;
    style.left = `${p.left}px`;
    style.top = `${p.top}px`;
    style.width = `${p.width}px`;
    style.height = `${p.height}px`;
  }

  #paint() {
    this.#lastPaintStatus = this.#control.paint(window.devicePixelRatio);
    this.#show();
  }

  #show() {
    const picture = this.#control.canvasBytes();
    if (!picture) return;
    const { width, height, bytes } = picture;
    if (this.#canvas.width !== width) this.#canvas.width = width;
    if (this.#canvas.height !== height) this.#canvas.height = height;
    if (width === 0 || height === 0) return;
    const pixels = new Uint8ClampedArray(bytes.buffer, bytes.byteOffset, bytes.length);
    this.#context.putImageData(new ImageData(pixels, width, height), 0, 0);
  }

  // A media query that stops matching when the device pixel ratio changes (another screen,
  // a zoom); it is made afresh for the new ratio.
  #watchRatio() {
    this.#ratioQuery?.removeEventListener('change', this.#ratioChanged);
    this.#ratioQuery = window.matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`);
    this.#ratioQuery.addEventListener('change', this.#ratioChanged);
  }

  #ratioChanged = () => {
    this.#watchRatio();
    this.#paint();
  };

  #pointerMoved(event) {
    const box = this.#canvas.getBoundingClientRect();
    const shift = (event.shiftKey ? kShiftKey : 0) | (event.ctrlKey ? kCtrlKey : 0) | (event.altKey ? kAltKey : 0);
    this.#control.pointerMoved(event.buttons & kButtonBits, shift, event.clientX - box.left, event.clientY - box.top);
    this.#hover(this.#entityUnder(event));
  }

  // The element's client area is its content box: the pointer's position from its corner.
  #entityUnder(event) {
    const box = this.getBoundingClientRect();
    return this.entityAt(event.clientX - box.left - this.clientLeft, event.clientY - box.top - this.clientTop, this.pickTolerance);
  }

  #describe(index) {
    return (index > 0 && this.#control.entity(index)) || kNoEntity;
  }

  #hover(index) {
    if (index === this.#hovered) return;
    this.#hovered = index;
    this.dispatchEvent(new CustomEvent('trazo-hover', { detail: this.#describe(index), bubbles: true, composed: true }));
  }

  #released(event) {
    const pressed = this.#pressed;
    this.#pressed = null;
    if (!pressed || pressed.button !== event.button) return;
    if (Math.abs(event.clientX - pressed.x) + Math.abs(event.clientY - pressed.y) > kClickSlop) return;
    const detail = {
      ...this.#describe(this.#entityUnder(event)),
      button: event.button,
      shiftKey: event.shiftKey,
      ctrlKey: event.ctrlKey,
      altKey: event.altKey,
    };
    this.dispatchEvent(new CustomEvent('trazo-select', { detail, bubbles: true, composed: true }));
  }
}

if (!customElements.get('trazo-picture')) customElements.define('trazo-picture', TrazoPicture);
