#include "engine/core/option_defaults.h"

namespace yomira {

// The matched string defaults are cp932 bytes written out, so no conversion runs at start-up; each
// is preceded by its text.
TYomiraOption DefaultOptions() {
  TYomiraOption o;

  o.bg_image = 0;
  o.strict = 1;
  o.aut_indent = 0;
  o.page_ani = 1;
  o.images = 0;
  o.ruby_tag = 1;
  o.UseCover = o.ruby_tag;  // follows the notation switch unless set on its own
  o.UseSound = 0;
  o.text_aa = 0;
  o.ruby_aa = 1;
  o.bold = 0;
  o.MSS = 0;
  o.UseShadow = 0;
  o.re_wrap = 0;
  o.toRuby = 0;
  o.ParseHTML = 1;

  o.f_size = 14;
  o.ruby_size = 8;
  o.s_size = 4;
  o.m_size = 0;
  o.c_size = 16;
  o.v_size = 2 * 32;  // 32 characters a line
  o.yohaku_w = 40;
  o.yohaku_h = 25;
  o.Colum = 1;
  o.yohaku_c = 0;
  o.Page = 1;
  o.PageMargin = 16;

  // Slot = button (left, right, middle) + 3 * modifier (none, Shift, Ctrl).
  const int32_t click[9] = {1, 2, 0,   // left, right, middle
                            0, 4, 0,   // with Shift
                            0, 0, 0};  // with Ctrl
  for (int i = 0; i < 9; ++i) o.click[i] = click[i];
  // Up, down, Ctrl+up, Ctrl+down, Shift+up, Shift+down.
  const int32_t wheel[6] = {2, 1, 0, 0, 0, 0};
  for (int i = 0; i < 6; ++i) o.wheel[i] = wheel[i];
  o.side[0] = 0;
  o.side[1] = 0;
  o.Resize = 2;
  o.ResizeCtrl = 1;
  o.TrackLeft = 3;
  o.TrackRight = 5;
  o.TrackMiddle = 4;

  o.Quality = 1;
  o.TimeOut = 30;
  o.ReWrapType = 0;

  // Face names are UTF-8 like every name handed to the font system: @HGｺﾞｼｯｸE.
  o.font_family = "@HG\xEF\xBD\xBA\xEF\xBE\x9E\xEF\xBD\xBC\xEF\xBD\xAF\xEF\xBD\xB8" "E";
  o.font2family = o.font_family;
  // 、。，．・：；？！゛゜ヽヾゝゞ々ー’”）〕］｝〉》」』】°′″℃￠％ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ
  o.wrap_words =
      "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x46\x81\x47\x81\x48"
      "\x81\x49\x81\x4A\x81\x4B\x81\x52\x81\x53\x81\x54\x81\x55\x81\x58"
      "\x81\x5B\x81\x66\x81\x68\x81\x6A\x81\x6C\x81\x6E\x81\x70\x81\x72"
      "\x81\x74\x81\x76\x81\x78\x81\x7A\x81\x8B\x81\x8C\x81\x8D\x81\x8E"
      "\x81\x91\x81\x93\x82\x9F\x82\xA1\x82\xA3\x82\xA5\x82\xA7\x82\xC1"
      "\x82\xE1\x82\xE3\x82\xE5\x82\xEC\x83\x40\x83\x42\x83\x44\x83\x46"
      "\x83\x48\x83\x62\x83\x83\x83\x85\x83\x87\x83\x8E\x83\x95\x83\x96";
  // ‘“（〔［｛〈《「『【￥＄”’
  o.wrap_word2 =
      "\x81\x65\x81\x67\x81\x69\x81\x6B\x81\x6D\x81\x6F\x81\x71\x81\x73"
      "\x81\x75\x81\x77\x81\x79\x81\x8F\x81\x90\x81\x68\x81\x66";
  // ‘“（〔［｛〈《「『【￥＄・※
  o.indent_words =
      "\x81\x65\x81\x67\x81\x69\x81\x6B\x81\x6D\x81\x6F\x81\x71\x81\x73"
      "\x81\x75\x81\x77\x81\x79\x81\x8F\x81\x90\x81\x45\x81\xA6";
  // -=─━
  o.re_wrap_words = "-=\x84\x9F\x84\xAA";
  // 。．？！）〕］｝〉》」』】
  o.WrapChar =
      "\x81\x42\x81\x44\x81\x48\x81\x49\x81\x6A\x81\x6C\x81\x6E\x81\x70"
      "\x81\x72\x81\x74\x81\x76\x81\x78\x81\x7A";
  // レ一二三四五六七八九十上中下甲乙丙天地人
  o.str_kaeri =
      "\x83\x8C\x88\xEA\x93\xF1\x8E\x4F\x8E\x6C\x8C\xDC\x98\x5A\x8E\xB5"
      "\x94\xAA\x8B\xE3\x8F\x5C\x8F\xE3\x92\x86\x89\xBA\x8D\x62\x89\xB3"
      "\x95\xB8\x93\x56\x92\x6E\x90\x6C";
  o.tty_words = "0123456789!?";
  // ＜＞－：
  o.tty2words = "\x81\x83\x81\x84\x81\x7C\x81\x46";
  // ※〆々ヶ
  o.kanji_list = "\x81\xA6\x81\x59\x81\x58\x83\x96";
  o.bg_image_str = "";
  o.SoundPath = "";
  o.filelist_ext = "*.txt,*.html,*.htm";
  o.HTTPAgent = "yomira";

  o.text_color = 0x80000008;  // clWindowText, a system colour resolved when drawing
  o.ruby_color = 128;        // clMaroon
  o.back_color = 15792895;   // $00F0FAFF
  o.mss_color = 11394815;    // $00ADDEFF
  o.ShadowColor = 13495295;  // $00CDEBFF
  return o;
}

}  // namespace yomira
