// Opens a call script (chosen, dropped, or named by ?script=URL) and shows it in a
// <trazo-picture>, naming the entity under the pointer and the one last clicked. The script is read by the trazo host's own reader: a rejected script
// keeps the drawing shown and lists its FILE:LINE: messages; members that fail are listed
// as "FILE: Error <Member> <kind>" and the drawing is shown all the same.
import './trazo-picture.js';

const stage = document.getElementById('stage');
const messages = document.getElementById('messages');
const status = document.getElementById('status');
const nameLine = document.getElementById('name');
const entityLine = document.getElementById('entity');
const selectedLine = document.getElementById('selected');

// The status line follows every MouseMove; the event's X is the vertical position. The
// coordinates are single precision: seven digits say all they hold.
const single = (value) => String(Number(value.toPrecision(7)));
// An entity as the picking events carry it: `line 12 "wall"`.
const named = ({ index, kind, tag }) => (index > 0 ? `${kind} ${index}${tag ? ` "${tag}"` : ''}` : '');
function followPointer(picture) {
  picture.addEventListener('MouseMove', (event) => {
    const { Button, Shift, X, Y } = event.detail;
    status.textContent = `MouseMove Button=${Button} Shift=${Shift} X=${single(X)} Y=${single(Y)}`;
  });
  picture.addEventListener('trazo-hover', (event) => {
    entityLine.textContent = named(event.detail);
  });
  picture.addEventListener('trazo-select', (event) => {
    selectedLine.textContent = event.detail.index > 0 ? `selected: ${named(event.detail)}` : '';
  });
}

// A new control for each script, as the trazo host makes one: it replaces the one shown
// only when the script is accepted.
function show(bytes, fileName) {
  const picture = document.createElement('trazo-picture');
  const outcome = picture.runScript(bytes, fileName);
  if (outcome.rejected.length > 0) {
    messages.textContent = outcome.rejected.join('\n');
    nameLine.textContent = `${fileName}: rejected`;
    return outcome;
  }
  messages.textContent = outcome.failures.join('\n');
  nameLine.textContent = fileName;
  followPointer(picture);
  entityLine.textContent = selectedLine.textContent = '';
  stage.replaceChildren(picture);
  return outcome;
}

async function open(file) {
  show(new Uint8Array(await file.arrayBuffer()), file.name);
}

document.getElementById('file').addEventListener('change', (event) => {
  if (event.target.files.length > 0) open(event.target.files[0]);
});

stage.addEventListener('dragover', (event) => {
  event.preventDefault();
  stage.classList.add('dropping');
});
stage.addEventListener('dragleave', () => stage.classList.remove('dropping'));
stage.addEventListener('drop', (event) => {
  event.preventDefault();
  stage.classList.remove('dropping');
  if (event.dataTransfer.files.length > 0) open(event.dataTransfer.files[0]);
});

followPointer(stage.querySelector('trazo-picture'));

const url = new URLSearchParams(location.search).get('script');
if (url) {
  try {
    const response = await fetch(url);
    if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
    show(new Uint8Array(await response.arrayBuffer()), url);
  } catch (error) {
    messages.textContent = `${url}: cannot be read (${error.message})`;
  }
}

// For tests and for the console: the last script's outcome is what show() returned.
window.trazoPage = { show };
