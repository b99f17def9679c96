#include "service/json_support_script.hpp"

namespace lumen {
namespace {

// The script begins with three helpers that the document's snippets call,
// exactly as they stand: get__count (an array's length, else 0), get__name_All
// (a plain object's enumerable members that are not functions, joined with
// CR LF) and get__extend (merges source into target).
//
// Then JSON for engines without it. stringify: compact unless given a gap;
// short escapes, \u escapes for the other control and invisible characters
// (the backslash mark U+2400 is not among them); non-finite numbers as null;
// own members only; a cycle is a TypeError rather than endless recursion.
// parse: only a text made wholly of JSON tokens is evaluated.
constexpr std::string_view kScript = R"js(function get__count(c){var obj=Object.prototype.toString.call(c);if(obj=='[object Array]'){return c.length}else{return 0}}function get__name_All(a){var obj=Object.prototype.toString.call(a);if(obj=='[object Object]'){var ary=new Array();for(var key in a){if(typeof a[key]!=='function'){ary.push(key)}}return ary.join('\r\n')}else{return''}}function get__extend(target,source){if(Object.prototype.toString.call(target)=='[object Array]'){for(var i=0;i<source.length;i++){target.push(source[i])}return target}else{var str_obj;for(var obj in source){str_obj=typeof target[obj];if(str_obj=='string'||str_obj=='boolean'||str_obj=='undefined'){target[obj]=source[obj]}else if(str_obj=='number'){target=target.concat(source)}else if(str_obj=='object'){target[obj]=get__extend(target[obj],source[obj])}}return target}}
var JSON;
if (!JSON) { JSON = {}; }
(function () {
  var toText = Object.prototype.toString;
  var owns = Object.prototype.hasOwnProperty;

  function isArray(value) { return toText.call(value) === '[object Array]'; }
  function twoDigits(n) { return n < 10 ? '0' + n : String(n); }
  function ownValue() { return this.valueOf(); }

  if (typeof Date.prototype.toJSON !== 'function') {
    Date.prototype.toJSON = function () {
      if (!isFinite(this.valueOf())) { return null; }
      return this.getUTCFullYear() + '-' + twoDigits(this.getUTCMonth() + 1) + '-' +
          twoDigits(this.getUTCDate()) + 'T' + twoDigits(this.getUTCHours()) + ':' +
          twoDigits(this.getUTCMinutes()) + ':' + twoDigits(this.getUTCSeconds()) + 'Z';
    };
  }
  if (typeof String.prototype.toJSON !== 'function') { String.prototype.toJSON = ownValue; }
  if (typeof Number.prototype.toJSON !== 'function') { Number.prototype.toJSON = ownValue; }
  if (typeof Boolean.prototype.toJSON !== 'function') { Boolean.prototype.toJSON = ownValue; }

  var needsEscape = /[\x00-\x1f\x22\x5c\x7f-\x9f\xad\u0600-\u0605\u061c\u06dd\u070f\u180e\u200b-\u200f\u2028-\u202e\u2060-\u206f\ufeff\ufff0-\uffff]/g;
  var shortEscapes = { '\b': '\\b', '\t': '\\t', '\n': '\\n', '\f': '\\f', '\r': '\\r', '"': '\\"', '\\': '\\\\' };

  function escapeOne(c) {
    var known = shortEscapes[c];
    if (typeof known === 'string') { return known; }
    return '\\u' + ('000' + c.charCodeAt(0).toString(16)).slice(-4);
  }
  var hasEscape = new RegExp(needsEscape.source);
  function quote(text) {
    return '"' + (hasEscape.test(text) ? text.replace(needsEscape, escapeOne) : text) + '"';
  }

  function wrap(parts, open, close, indent, gap) {
    if (parts.length === 0) { return open + close; }
    if (!gap) { return open + parts.join(',') + close; }
    var inner = '\n' + indent + gap;
    return open + inner + parts.join(',' + inner) + '\n' + indent + close;
  }

  function serialise(holder, key, replacer, indent, gap, open) {
    var value = holder[key];
    if (value && typeof value === 'object' && typeof value.toJSON === 'function') { value = value.toJSON(key); }
    if (typeof replacer === 'function') { value = replacer.call(holder, key, value); }
    switch (typeof value) {
      case 'string': return quote(value);
      case 'number': return isFinite(value) ? String(value) : 'null';
      case 'boolean': return String(value);
      case 'object': if (value === null) { return 'null'; } break;
      default: return undefined;
    }
    for (var i = 0; i < open.length; i++) {
      if (open[i] === value) { throw new TypeError('JSON.stringify: cyclic structure'); }
    }
    open.push(value);
    var inner = indent + gap, parts = [], text, name;
    if (isArray(value)) {
      for (i = 0; i < value.length; i++) {
        text = serialise(value, i, replacer, inner, gap, open);
        parts.push(text === undefined ? 'null' : text);
      }
      text = wrap(parts, '[', ']', indent, gap);
    } else {
      var names = [];
      if (isArray(replacer)) {
        for (i = 0; i < replacer.length; i++) {
          name = replacer[i];
          if ((typeof name === 'string' || typeof name === 'number') && owns.call(value, String(name))) {
            names.push(String(name));
          }
        }
      } else {
        for (name in value) { if (owns.call(value, name)) { names.push(name); } }
      }
      for (i = 0; i < names.length; i++) {
        text = serialise(value, names[i], replacer, inner, gap, open);
        if (text !== undefined) { parts.push(quote(names[i]) + (gap ? ': ' : ':') + text); }
      }
      text = wrap(parts, '{', '}', indent, gap);
    }
    open.pop();
    return text;
  }

  if (typeof JSON.stringify !== 'function') {
    JSON.stringify = function (value, replacer, space) {
      var gap = '';
      if (typeof space === 'number') {
        for (var n = 0; n < space && n < 10; n++) { gap += ' '; }
      } else if (typeof space === 'string') {
        gap = space.slice(0, 10);
      }
      if (replacer && typeof replacer !== 'function' && !isArray(replacer)) {
        throw new TypeError('JSON.stringify: replacer');
      }
      return serialise({ '': value }, '', replacer, '', gap, []);
    };
  }

  var jsonToken = /\s*(?:"(?:[^"\\\x00-\x1f]|\\(?:["\\\/bfnrt]|u[0-9a-fA-F]{4}))*"|-?(?:0|[1-9]\d*)(?:\.\d+)?(?:[eE][+\-]?\d+)?|true|false|null|[\[\]{},:])/g;

  function revive(holder, key, reviver) {
    var value = holder[key], name, changed;
    if (value && typeof value === 'object') {
      for (name in value) {
        if (owns.call(value, name)) {
          changed = revive(value, name, reviver);
          if (changed === undefined) { delete value[name]; } else { value[name] = changed; }
        }
      }
    }
    return reviver.call(holder, key, value);
  }

  if (typeof JSON.parse !== 'function') {
    JSON.parse = function (text, reviver) {
      text = String(text);
      if (/\S/.test(text.replace(jsonToken, ''))) { throw new SyntaxError('JSON.parse'); }
      var result = eval('(' + text + ')');
      return typeof reviver === 'function' ? revive({ '': result }, '', reviver) : result;
    };
  }
})();
if (typeof Object.prototype.toJSONString !== 'function') {
  Object.prototype.toJSONString = function (filter) { return JSON.stringify(this, filter); };
}
if (typeof Object.prototype.parseJSON !== 'function') {
  Object.prototype.parseJSON = function (filter) { return JSON.parse(this, filter); };
}
)js";

}  // namespace

std::string_view json_support_script() noexcept { return kScript; }

}  // namespace lumen
