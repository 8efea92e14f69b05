// The window's page side (an emscripten JS library): the DOM elements that
// WebWindow.cpp describes, and every change of a check box reported back to
// it. Places, sizes, texts and names all come from there.
mergeInto(LibraryManager.library, {
  $BL: {
    root: null,
    controls: [], // the element of each control, by its position in the description
    drawn: [], // of each LED canvas: where its image was put, and its pixels
    native: null, // the browser's own `checked` of check boxes
    // A script setting `checked` fires no event: the box tells the window itself.
    watch: function (box, position) {
      const native = BL.native;
      Object.defineProperty(box, 'checked', {
        configurable: true,
        get: function () { return native.get.call(this); },
        set: function (v) { native.set.call(this, v); Module['_bl_noticeChange'](position); },
      });
      box.addEventListener('change', function () { Module['_bl_noticeChange'](position); });
    },
    // The image's pixels, each `scale` device pixels wide and high, into
    // `data` where it has that size (a toggle then allocates nothing).
    pixels: function (argb, width, height, scale, data) {
      const across = width * scale;
      if (!data || data.width !== across || data.height !== height * scale)
        data = new ImageData(across, height * scale);
      const out = new Uint32Array(data.data.buffer); // RGBA in memory: 0xAABBGGRR
      const from = argb >> 2;
      for (let y = 0, at = 0; y < height * scale; ++y) {
        const row = from + ((y / scale) | 0) * width;
        for (let x = 0; x < across; ++x, ++at) {
          const p = HEAPU32[row + ((x / scale) | 0)];
          out[at] = (p & 0xff00ff00) | ((p >>> 16) & 255) | ((p & 255) << 16);
        }
      }
      return data;
    },
    image: function (argb, width, height) {
      const canvas = document.createElement('canvas');
      canvas.width = width;
      canvas.height = height;
      canvas.getContext('2d').putImageData(BL.pixels(argb, width, height, 1), 0, 0);
      return canvas;
    },
    // An attribute or a field's text set only when it changes: a change
    // costs the browser a new style and layout of the control.
    setAttribute: function (el, name, value) {
      if (el.getAttribute(name) !== value) el.setAttribute(name, value);
    },
    colour: function (rgb) {
      return rgb < 0 ? '' : '#' + (rgb >>> 0).toString(16).padStart(6, '0');
    },
  },

  bl_begin__deps: ['$BL'],
  bl_begin: function (width, height, fontPx, fonts) {
    BL.native = Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, 'checked');
    const root = document.createElement('div');
    root.id = 'frmBitlicht';
    root.style.cssText = 'position:relative;overflow:hidden;background:#f0f0f0;color:#000;' +
      'width:' + width + 'px;height:' + height + 'px;font:' + fontPx + 'px ' + UTF8ToString(fonts);
    (document.getElementById('bitlicht') || document.body).appendChild(root);
    BL.root = root;
    BL.controls = [];
    BL.drawn = [];
  },

  bl_add__deps: ['$BL'],
  bl_add: function (position, kind, left, top, width, height, text, name, label, description,
                    fontPx, weight, align, fore, back) {
    text = UTF8ToString(text);
    label = UTF8ToString(label);
    description = UTF8ToString(description);
    let el, named;
    if (kind === 0) { // text box
      el = named = document.createElement('input');
      el.type = 'text';
      el.value = text;
      el.spellcheck = false;
      el.autocomplete = 'off';
      el.style.cssText = 'box-sizing:border-box;margin:0;padding:0 2px;border:1px solid #7a7a7a;' +
        'font:' + weight + ' ' + fontPx + 'px ' + BL.root.style.fontFamily + ';text-align:' +
        ['left', 'center', 'right'][align] + ';background:' + (BL.colour(back) || '#fff') +
        ';color:' + (BL.colour(fore) || '#000');
    } else if (kind === 1) { // check box, its caption clickable
      el = document.createElement('label');
      named = document.createElement('input');
      named.type = 'checkbox';
      named.style.cssText = 'margin:0 4px 0 1px;width:13px;height:13px;flex:none';
      el.append(named, document.createTextNode(text));
      el.style.cssText = 'display:flex;align-items:center;white-space:nowrap;user-select:none';
      BL.watch(named, position);
    } else if (kind === 2) { // frame
      el = named = document.createElement('fieldset');
      const legend = document.createElement('legend');
      legend.textContent = text;
      legend.style.cssText = 'padding:0 2px;margin-left:6px;font:inherit' + (text ? '' : ';display:none');
      el.append(legend);
      el.style.cssText = 'box-sizing:border-box;margin:0;padding:0;border:1px solid #c8c8c8;' +
        'border-radius:2px;z-index:0;min-width:0';
    } else { // picture box: the LED as its image says
      el = named = document.createElement('canvas');
      el.setAttribute('role', 'img');
      el.style.cssText = 'image-rendering:pixelated';
    }
    el.style.position = 'absolute';
    el.style.zIndex = kind === 2 ? 0 : 1;
    el.style.left = left + 'px';
    el.style.top = top + 'px';
    el.style.width = width + 'px';
    el.style.height = height + 'px';
    named.dataset.name = UTF8ToString(name);
    if (label) named.setAttribute('aria-label', label);
    if (description) named.setAttribute('aria-description', description);
    BL.root.appendChild(el);
    BL.controls[position] = named;
  },

  // Tab and Shift+Tab wrap round inside the window, as on the desktop.
  bl_finish__deps: ['$BL'],
  bl_finish: function (firstFocus) {
    BL.root.addEventListener('keydown', function (event) {
      if (event.key !== 'Tab' || event.altKey || event.ctrlKey || event.metaKey) return;
      const shown = Array.from(BL.root.querySelectorAll('input'))
        .filter(function (el) { return el.getClientRects().length; });
      const wrap = event.shiftKey ? shown[0] : shown[shown.length - 1];
      if (document.activeElement !== wrap) return;
      event.preventDefault();
      (event.shiftKey ? shown[shown.length - 1] : shown[0]).focus();
    });
    BL.controls[firstFocus].focus();
  },

  bl_checked__deps: ['$BL'],
  bl_checked: function (position) {
    return BL.native.get.call(BL.controls[position]) ? 1 : 0;
  },

  bl_setChecked__deps: ['$BL'],
  bl_setChecked: function (position, checked) {
    BL.native.set.call(BL.controls[position], !!checked);
  },

  bl_setText__deps: ['$BL'],
  bl_setText: function (position, text) {
    const field = BL.controls[position], value = UTF8ToString(text);
    if (field.value !== value) field.value = value;
  },

  // A field hidden under the focus hands it on to the next shown control.
  bl_setVisible__deps: ['$BL'],
  bl_setVisible: function (position, visible) {
    const el = BL.controls[position];
    if (!visible && document.activeElement === el) {
      const all = Array.from(BL.root.querySelectorAll('input'));
      const from = all.indexOf(el);
      for (let n = 1; n < all.length; ++n) {
        const next = all[(from + n) % all.length];
        if (next.getClientRects().length) {
          next.focus();
          break;
        }
      }
    }
    el.style.display = visible ? '' : 'none';
  },

  // The image at its own size in the middle of the box, each of its pixels
  // whole device pixels, so that it stays sharp on dense screens. A toggle
  // costs one putImageData: no canvas made, none resized while the density
  // stays, and nothing cleared while the image covers the same place
  // (putImageData replaces every pixel it covers, transparent ones too).
  bl_setPicture__deps: ['$BL'],
  bl_setPicture: function (position, argb, width, height, state) {
    const box = BL.controls[position];
    const scale = Math.max(1, Math.round(window.devicePixelRatio || 1));
    const w = parseInt(box.style.width, 10), h = parseInt(box.style.height, 10);
    if (box.width !== w * scale || box.height !== h * scale) {
      box.width = w * scale;
      box.height = h * scale;
      BL.drawn[position] = null;
    }
    const g = box.getContext('2d');
    const x = Math.round((w - width) / 2) * scale, y = Math.round((h - height) / 2) * scale;
    const place = [x, y, width * scale, height * scale].join();
    const drawn = BL.drawn[position] || (BL.drawn[position] = { place: '', data: null });
    if (drawn.place !== place) {
      g.clearRect(0, 0, box.width, box.height);
      drawn.place = place;
    }
    drawn.data = BL.pixels(argb, width, height, scale, drawn.data);
    g.putImageData(drawn.data, x, y);
    BL.setAttribute(box, 'aria-description', UTF8ToString(state));
  },

  bl_setTitle: function (title) {
    document.title = UTF8ToString(title);
  },

  bl_setIcon__deps: ['$BL'],
  bl_setIcon: function (argb, width, height) {
    let link = document.querySelector('link[rel="icon"]');
    if (!link) {
      link = document.createElement('link');
      link.rel = 'icon';
      document.head.appendChild(link);
    }
    link.href = BL.image(argb, width, height).toDataURL('image/png');
  },

  bl_setPortState__deps: ['$BL'],
  bl_setPortState: function (position, caption, toolTip) {
    const frame = BL.controls[position];
    frame.firstChild.textContent = UTF8ToString(caption);
    frame.title = UTF8ToString(toolTip);
    frame.setAttribute('aria-description', frame.title);
  },

  // The error in place of the window: the page cannot end itself.
  bl_fail__deps: ['$BL'],
  bl_fail: function (title, message) {
    const box = document.createElement('div');
    box.setAttribute('role', 'alert');
    box.style.cssText = 'padding:12px;white-space:pre-wrap';
    const heading = document.createElement('h1');
    heading.style.cssText = 'font-size:14px;margin:0 0 8px';
    heading.textContent = UTF8ToString(title);
    box.append(heading, UTF8ToString(message));
    BL.root.replaceChildren(box);
    BL.root.style.height = 'auto';
  },

  bl_post: function () {
    setTimeout(function () { Module['_bl_outputChanged'](); }, 0);
  },

  bl_end__deps: ['$BL'],
  bl_end: function () {
    BL.root.remove();
    BL.controls = [];
    BL.drawn = [];
  },
});
