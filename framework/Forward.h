#pragma once
// Forward declarations of the control framework, so that headers include only what they use.

class IMEvent;
class IMWindowsEvent;
class IMMouseEvent;
class IMKeyboardEvent;

class IMControl;
class IMView;
class IMEmptyView;
class IMTextureView;
class IMStateView;
class IMTextView;

template <class V> class IMViewControl;
template <class V> class IMDialogBase;
template <class V> class IMStaticPictureBase;
template <class V> class IMButtonBase;

// Every container in the program is a dialog over the empty view; parents have this type.
using IMDialog = IMDialogBase<IMEmptyView>;
