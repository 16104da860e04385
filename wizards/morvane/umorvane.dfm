object fmorvane: Tfmorvane
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  Caption = 'クォヴァント-CSVインポ－ト'
  ClientHeight = 666
  ClientWidth = 1010
  Color = clBtnFace
  Font.Charset = SHIFTJIS_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'ＭＳ Ｐゴシック'
  Font.Style = []
  Position = poScreenCenter
  OnClose = FormClose
  OnCreate = FormCreate
  OnShow = FormShow
  object Panel1: TPanel
    Align = alTop
    Height = 41
    BevelOuter = bvNone
    Color = clWhite
    ParentColor = False
    object Label1: TLabel
      Left = 280
      Top = 12
      Width = 433
      Height = 17
      Alignment = taCenter
      AutoSize = False
      Caption = 'クォヴァント-CSVインポ－ト'
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clNavy
      Font.Height = -16
      Font.Name = 'ＭＳ Ｐ明朝'
      Font.Style = [fsBold, fsUnderline]
      ParentFont = False
    end
    object IconButton2: TButton
      Left = 12
      Top = 5
      Width = 36
      Height = 33
    end
  end
  object LT1: TGradPan
    Align = alLeft
    Width = 36
    BevelOuter = bvNone
    Caption = 'Quovant Version2'
    Color = 7099731
    ParentColor = False
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clWhite
    Font.Height = -21
    Font.Name = 'ＭＳ Ｐ明朝'
    Font.Style = [fsBold]
    ParentFont = False
    BackGroundEffect = bdHorzIn
    VertAlign = VlBottom
    ColorEnd = 13413544
    ColorStart = 7099731
    ColorShadow = clGray
    TextEffect = teShadow
    TextRotation = TrDown
    Ctl3D = False
    Bitmap.Data = {
      89504E470D0A1A0A0000000D49484452000000240000002408020000006E620F
      CF000000704944415478DA63686859121C9A838C3272BAD044A8A586018D8FA9
      0E530FD96AB05B065787CB14F2D4301054871F91A46610F88C567146BBB487A9
      868176FEC054C040BB18C269192DD2DE20F019FDE26CB46C1C2D1B47CBC6D1B2
      71B46C1C2D1B47CBC6D1B271B46C1C2D1B8950030010CEB3FCAA4C3A6F000000
      0049454E44AE426082}
    Marge = 6
    Moveable = False
  end
  object StatusBar1: TStatusBar
    Top = 647
    Height = 19
    SimplePanel = True
  end
  object GradPan2: TGradPan
    Align = alBottom
    Top = 606
    Height = 41
    BevelOuter = bvNone
    Color = 7099731
    ParentColor = False
    BackGroundEffect = bdVertIn
    VertAlign = vlCenter
    ColorEnd = 7099731
    ColorStart = 7099731
    ColorShadow = clGray
    TextEffect = teShadow
    TextRotation = trNone
    Ctl3D = False
    Marge = 6
    Moveable = False
    object IconButton7: TButton
      Align = alLeft
      Width = 49
    end
    object IconButton4: TButton
      Left = 621
      Top = 1
      Width = 36
      Height = 36
      Caption = '?'
      Cursor = crHandPoint
      OnClick = IconButton4Click
    end
    object BoxLabel1: TLabel
      Left = 672
      Top = 23
      Width = 57
      Height = 15
      AutoSize = False
      Caption = 'HELP'
      Color = clBtnFace
      ParentColor = False
      Transparent = False
    end
    object IconButton3: TButton
      Left = 752
      Top = 4
      Width = 36
      Height = 33
      Caption = '実'
      Cursor = crHandPoint
      OnClick = IconButton3Click
    end
    object BoxLabel20: TLabel
      Left = 800
      Top = 23
      Width = 57
      Height = 15
      AutoSize = False
      Caption = '実　行'
      Transparent = False
    end
    object IconButton1: TButton
      Left = 873
      Top = 1
      Width = 36
      Height = 36
      Caption = '×'
      Cursor = crHandPoint
      OnClick = IconButton1Click
    end
    object BoxLabel21: TLabel
      Left = 920
      Top = 23
      Width = 65
      Height = 15
      AutoSize = False
      Caption = 'キャンセル'
      Color = 10652814
      ParentColor = False
      Transparent = False
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clWindowText
      Font.Height = -12
      Font.Name = 'ＭＳ Ｐ明朝'
      Font.Style = []
      ParentFont = False
    end
  end
  object Panel6: TPanel
    Left = 120
    Top = 72
    Width = 769
    Height = 465
    object ListBox1: TListBox
      Left = 24
      Top = 24
      Width = 265
      Height = 305
      Cursor = crHandPoint
      ItemHeight = 13
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clWindowText
      Font.Height = -13
      Font.Name = 'ＭＳ Ｐゴシック'
      Font.Style = []
      ParentFont = False
    end
    object GroupBox2: TGroupBox
      Left = 312
      Top = 16
      Width = 441
      Height = 313
      Caption = '表示されているデータに該当するものをクリックして下さい'
      object Button1: TButton
        Left = 32
        Top = 32
        Width = 121
        Height = 25
        Caption = '名　称'
        Cursor = crHandPoint
        Tag = 1
        OnClick = Button1Click
      end
      object Button2: TButton
        Left = 32
        Top = 72
        Width = 121
        Height = 25
        Caption = '型　番'
        Cursor = crHandPoint
        Tag = 2
        OnClick = Button1Click
      end
      object Button3: TButton
        Left = 32
        Top = 112
        Width = 121
        Height = 25
        Caption = '単　位'
        Cursor = crHandPoint
        Tag = 3
        OnClick = Button1Click
      end
      object Button8: TButton
        Left = 32
        Top = 152
        Width = 121
        Height = 25
        Caption = '歩　掛'
        Cursor = crHandPoint
        Tag = 4
        OnClick = Button1Click
      end
      object Button5: TButton
        Left = 32
        Top = 192
        Width = 121
        Height = 25
        Caption = '定　価'
        Cursor = crHandPoint
        Tag = 9
        OnClick = Button1Click
      end
      object Button9: TButton
        Left = 32
        Top = 230
        Width = 121
        Height = 25
        Caption = '備　考'
        Cursor = crHandPoint
        Tag = 12
        OnClick = Button1Click
      end
      object Button10: TButton
        Left = 32
        Top = 270
        Width = 121
        Height = 25
        Caption = '該当なし'
        Cursor = crHandPoint
        Tag = 0
        OnClick = Button1Click
      end
      object Button4: TButton
        Left = 168
        Top = 32
        Width = 121
        Height = 25
        Caption = '数量[原価]'
        Cursor = crHandPoint
        Tag = 5
        OnClick = Button1Click
      end
      object Button14: TButton
        Left = 168
        Top = 72
        Width = 121
        Height = 25
        Caption = '数量[提出]'
        Cursor = crHandPoint
        Tag = 6
        OnClick = Button1Click
      end
      object Button7: TButton
        Left = 168
        Top = 112
        Width = 121
        Height = 25
        Caption = '単価[原価]'
        Cursor = crHandPoint
        Tag = 7
        OnClick = Button1Click
      end
      object Button6: TButton
        Left = 168
        Top = 152
        Width = 121
        Height = 25
        Caption = '単価[提出]'
        Cursor = crHandPoint
        Tag = 8
        OnClick = Button1Click
      end
      object Button12: TButton
        Left = 168
        Top = 192
        Width = 121
        Height = 25
        Caption = '付帯単価[原価]'
        Cursor = crHandPoint
        Tag = 10
        OnClick = Button1Click
      end
      object Button13: TButton
        Left = 168
        Top = 232
        Width = 121
        Height = 25
        Caption = '付帯単価[提出]'
        Cursor = crHandPoint
        Tag = 11
        OnClick = Button1Click
      end
      object Button11: TButton
        Left = 168
        Top = 270
        Width = 121
        Height = 25
        Caption = 'キャンセル'
        Cursor = crArrow
        OnClick = Button11Click
      end
    end
    object Bevel1: TBevel
      Left = 24
      Top = 344
      Width = 265
      Height = 81
    end
    object Panel5: TPanel
      Left = 32
      Top = 350
      Width = 249
      Height = 20
      BevelOuter = bvNone
      Caption = 'クォヴァント-CSVインポ－ト'
    end
    object Panel4: TPanel
      Left = 32
      Top = 370
      Width = 249
      Height = 20
      BevelOuter = bvNone
      Caption = '積算データ編 Version2.00'
    end
    object URLLabel3: TLabel
      Left = 48
      Top = 392
      Width = 215
      Height = 13
      AutoSize = False
      Caption = 'https://quovant.example.jp/'
      Color = 7099731
      Cursor = crHandPoint
      ParentColor = False
      Transparent = False
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clWhite
      Font.Height = -12
      Font.Name = 'ＭＳ Ｐゴシック'
      Font.Style = [fsUnderline]
      ParentFont = False
    end
    object URLLabel4: TLabel
      Left = 48
      Top = 408
      Width = 215
      Height = 13
      AutoSize = False
      Caption = 'mailto:support@quovant.example.jp'
      Color = 7099731
      Cursor = crHandPoint
      ParentColor = False
      Transparent = False
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clWhite
      Font.Height = -12
      Font.Name = 'ＭＳ Ｐゴシック'
      Font.Style = [fsUnderline]
      ParentFont = False
    end
    object Separater_Char: TRadioGroup
      Left = 312
      Top = 336
      Width = 257
      Height = 89
      Caption = '区切文字指定'
      Columns = 2
      ItemIndex = 0
      Items.Strings = (
  'カンマ区切り'
  'タブ区切り'
  'スペース区切り'
  'セミコロン区切り')
    end
    object Button21: TButton
      Left = 632
      Top = 392
      Width = 75
      Height = 25
      Caption = 'スタート'
      OnClick = Button21Click
    end
  end
  object Panel7: TPanel
    Left = 64
    Top = 560
    Width = 921
    Height = 540
    Visible = False
    object StrColGrid1: TStrColGrid
      Align = alClient
      ColCount = 13
      DefaultColWidth = 11
      DefaultRowHeight = 18
      DefaultDrawing = False
      FixedColor = 12615808
      Ctl3D = False
      RowCount = 50
      Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect]
      FocusCellFontColorEnabled = True
      Layout = tlTop
      ColWidths = (10 181 150 33 50 90 90 90 90 90 90 90 150)
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clWindowText
      Font.Height = -13
      Font.Name = 'ＭＳ Ｐゴシック'
      Font.Style = []
      ParentFont = False
      CellParams = <
  item
    Alignment = taCenter
    Caption = '名　  称'
    CellColor = clWindow
    Col = 1
    ColMax = 0
    FontColor = clWhite
    FontColorEnabled = True
    FontWidth = 1
    ImeModeEnabled = False
    Name = 'パラメータ1'
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect]
    Row = 0
    RowMax = 0
    Tag = 0
  end
  item
    Alignment = taCenter
    Caption = '仕  様 & 型  番'
    CellColor = clWindow
    Col = 2
    ColMax = 0
    FontColor = clWhite
    FontColorEnabled = True
    FontWidth = 1
    ImeModeEnabled = False
    Name = 'パラメータ2'
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect]
    Row = 0
    RowMax = 0
    Tag = 0
  end
  item
    Alignment = taCenter
    Caption = '単位'
    CellColor = clWindow
    Col = 3
    ColMax = 0
    FontColor = clWhite
    FontColorEnabled = True
    FontWidth = 1
    ImeModeEnabled = False
    Name = 'パラメータ3'
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect]
    Row = 0
    RowMax = 0
    Tag = 0
  end
  item
    Alignment = taCenter
    Caption = '歩　掛'
    CellColor = clWindow
    Col = 4
    ColMax = 0
    FontColor = clWhite
    FontColorEnabled = True
    FontWidth = 1
    ImeModeEnabled = False
    Name = 'パラメータ4'
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect]
    Row = 0
    RowMax = 0
    Tag = 0
  end
  item
    Alignment = taCenter
    Caption = '原数量'
    CellColor = clWindow
    Col = 5
    ColMax = 0
    FontColor = clWhite
    FontColorEnabled = True
    FontWidth = 1
    ImeModeEnabled = False
    Name = 'パラメータ5'
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect]
    Row = 0
    RowMax = 0
    Tag = 0
  end
  item
    Alignment = taCenter
    Caption = '提出数量'
    CellColor = clWindow
    Col = 6
    ColMax = 0
    FontColor = clWhite
    FontColorEnabled = True
    FontWidth = 1
    ImeModeEnabled = False
    Name = 'パラメータ6'
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect]
    Row = 0
    RowMax = 0
    Tag = 0
  end
  item
    Alignment = taCenter
    Caption = '単価[原価]'
    CellColor = clWindow
    Col = 7
    ColMax = 0
    FontColor = clWhite
    FontColorEnabled = True
    FontWidth = 1
    ImeModeEnabled = False
    Name = 'パラメータ7'
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect]
    Row = 0
    RowMax = 0
    Tag = 0
  end
  item
    Alignment = taCenter
    Caption = '単価[提出]'
    CellColor = clWindow
    Col = 8
    ColMax = 0
    FontColor = clWhite
    FontColorEnabled = True
    FontWidth = 1
    ImeModeEnabled = False
    Name = 'パラメータ8'
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect]
    Row = 0
    RowMax = 0
    Tag = 0
  end
  item
    Alignment = taCenter
    Caption = '定　価'
    CellColor = clWindow
    Col = 9
    ColMax = 0
    FontColor = clWhite
    FontColorEnabled = True
    FontWidth = 1
    ImeModeEnabled = False
    Name = 'パラメータ9'
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect]
    Row = 0
    RowMax = 0
    Tag = 0
  end
  item
    Alignment = taCenter
    Caption = '付帯単価[原価]'
    CellColor = clWindow
    Col = 10
    ColMax = 0
    FontColor = clWhite
    FontColorEnabled = True
    FontWidth = 1
    ImeModeEnabled = False
    Name = 'パラメータ10'
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect]
    Row = 0
    RowMax = 0
    Tag = 0
  end
  item
    Alignment = taCenter
    Caption = '付帯単価[提出]'
    CellColor = clWindow
    Col = 11
    ColMax = 0
    FontColor = clWhite
    FontColorEnabled = True
    FontWidth = 1
    ImeModeEnabled = False
    Name = 'パラメータ11'
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect]
    Row = 0
    RowMax = 0
    Tag = 0
  end
  item
    Alignment = taCenter
    Caption = '備　考'
    CellColor = clWindow
    Col = 12
    ColMax = 0
    FontColor = clWhite
    FontColorEnabled = True
    FontWidth = 1
    ImeModeEnabled = False
    Name = 'パラメータ12'
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect]
    Row = 0
    RowMax = 0
    Tag = 0
  end>
    end
  end
  object TextOpenDialog1: TTextOpenDialog
    Filter = 'CSVファイル|*.CSV'
    Title = 'CSVファイルを指定して下さい'
    AutoExtChange = False
    ShowPlacesBar = True
    Preview = False
  end
end
